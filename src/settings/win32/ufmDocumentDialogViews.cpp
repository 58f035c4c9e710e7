// The windows of the document parameter dialogs.
#include "settings/win32/ufmDocumentDialogViews.h"

#include "settings/ufmDocParams.h"
#include "settings/ufmHeaderFooter.h"
#include "settings/ufmPaymentsSettings.h"
#include "settings/ufmTaxesParams.h"
#include "settings/uSettingsTexts.h"
#include "settings/uSettingsValues.h"
#include "settings/win32/Win32Controls.h"
#include "settings/win32/Win32Grid.h"

#include <map>
#include <memory>

using namespace settingstexts;

namespace {

enum : int { IdDefault = 100, IdProgress, IdGrid, IdHeader, IdFooter, IdPrintTaxes, IdSpacing, IdSpin };

// A dialog whose OK runs the logic's programming and closes with OK whatever the printer
// answered; only a refused input keeps it open.
template <class TLogic>
class TDocumentDialog : public TWin32Dialog {
public:
    TDocumentDialog(const char* Caption, LONG Width, LONG Height, TBaseDevice& Device, TWin32SettingsUI& UI,
                    IFiscalServices& Services, TfrmCommonSettings* Shell)
        : TWin32Dialog(T(Caption), Width, Height), FDevice(Device), FUI(UI), FServices(Services), FShell(Shell) {}

protected:
    bool CanClose(int Code) override {
        if (Code != IDOK || !FLogic)
            return true;
        Program();
        return !FLogic->InputRefused();
    }
    virtual void Program() = 0;
    void Adopt(std::unique_ptr<TLogic> Logic) {
        FLogic = std::move(Logic);
        FLogic->SetSettingsForm(FShell);
    }
    // The bottom row: OK and Cancel at the right, the hidden progress bar at the left.
    void AddFooter(int Y, const char* OkCaption = DocOkButton) {
        FProgress.Handle =
            Add(PROGRESS_CLASSW, L"", 0, 8, Y + 4, ClientWidth() - 8 - 2 * 81 - 16, 16, IdProgress);
        SendMessageW(FProgress.Handle, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        ShowWindow(FProgress.Handle, SW_HIDE);
        FOk = AddButton(OkCaption, ClientWidth() - 8 - 75 - 6 - 75, Y, 75, 25, IDOK, BS_DEFPUSHBUTTON);
        FCancel = AddButton(CancelButton, ClientWidth() - 8 - 75, Y, 75, 25, IDCANCEL);
    }

    TBaseDevice& FDevice;
    TWin32SettingsUI& FUI;
    IFiscalServices& FServices;
    TfrmCommonSettings* FShell;
    TProgressControl FProgress;
    std::unique_ptr<TLogic> FLogic;
    HWND FOk = nullptr, FCancel = nullptr;
};

template <class TDialog>
void RunModal(TDialog& dialog, TWin32SettingsUI& ui) {
    const HWND owner = ui.Owner;
    dialog.ShowModal();
    ui.Owner = owner;
}

// ---------------------------------------------------------------------------------------------

class TDocParamsWindow : public TDocumentDialog<TfmDocParams> {
public:
    using TDocumentDialog::TDocumentDialog;

protected:
    void OnCreate() override {
        FUI.Owner = FHandle;
        Add(L"BUTTON", T(DocParamsGroup), BS_GROUPBOX, 8, 4, ClientWidth() - 16, 548);
        TDocParamsControls controls;
        int y = 22;
        auto check = [&](const char* caption, int height, bool enabled) {
            TCheckControl& box = FChecks[y];
            box.Handle = Add(L"BUTTON", T(caption), WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE | BS_TOP, 18, y,
                             ClientWidth() - 36, height);
            EnableWindow(box.Handle, enabled);
            y += height;
            return &box;
        };
        auto radio = [&](const char* caption, bool first) {
            TCheckControl& box = FChecks[y];
            box.Handle = Add(L"BUTTON", T(caption), BS_AUTORADIOBUTTON | (first ? WS_GROUP | WS_TABSTOP : 0), 18, y,
                             ClientWidth() - 36, 16);
            EnableWindow(box.Handle, FALSE);
            DrawDisabledRadioInFull(box.Handle);
            y += 16;
            return &box;
        };
        for (const TBitCaption& bit : ParamDoc1Captions) {
            if (bit.Bit == 11) {
                controls.r1_80 = radio(ShiftAnyDocument, true);
                controls.r1_81 = radio(ShiftFiscalDocument, false);
                controls.r1_82 = radio(ShiftOpenCommand, false);
            }
            const int height = bit.Bit == 15 ? 42 : 16;
            controls.Word1[static_cast<std::size_t>(bit.Bit)] = check(bit.Caption, height, bit.Bit != 7);
        }
        y += 6;
        for (const TBitCaption& bit : ParamDoc2Captions)
            controls.Word2[static_cast<std::size_t>(bit.Bit)] = check(bit.Caption, 16, true);
        y += 6;
        AddLabel(LineSpacingLabel, 18, y + 3, 380, 16);
        FSpacing.Handle =
            Add(L"EDIT", L"", WS_TABSTOP | WS_BORDER | ES_NUMBER | WS_DISABLED, 400, y, 50, 21, IdSpacing);
        SendMessageW(FSpacing.Handle, EM_LIMITTEXT, 3, 0);
        HWND spin = Add(UPDOWN_CLASSW, L"", UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | WS_DISABLED, 0, 0, 0, 0,
                        IdSpin);
        SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(FSpacing.Handle), 0);
        SendMessageW(spin, UDM_SETRANGE32, 0, 999);
        controls.edTimeoutSlip = &FSpacing;
        controls.ProgressBar1 = &FProgress;
        // OK, By default, Cancel.
        const int footer = ClientHeight() - 36;
        FProgress.Handle = Add(PROGRESS_CLASSW, L"", 0, 8, footer + 4, 150, 16, IdProgress);
        SendMessageW(FProgress.Handle, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        ShowWindow(FProgress.Handle, SW_HIDE);
        AddButton(DocOkButton, ClientWidth() - 8 - 3 * 90 - 12, footer, 90, 25, IDOK, BS_DEFPUSHBUTTON);
        AddButton(DocDefaultButton, ClientWidth() - 8 - 2 * 90 - 6, footer, 90, 25, IdDefault);
        FCancel = AddButton(CancelButton, ClientWidth() - 8 - 90, footer, 90, 25, IDCANCEL);
        Adopt(std::make_unique<TfmDocParams>(FDevice, FUI, FServices, controls));
        SetFocus(FCancel);
    }
    bool OnCommand(int Id, int Code, HWND) override {
        if (Id == IdDefault && Code == BN_CLICKED) {
            FLogic->btnDefaultClick();
            return true;
        }
        return false;
    }
    void Program() override { FLogic->btnOkClick(); }

private:
    std::map<int, TCheckControl> FChecks;
    TEditControl FSpacing;
};

// ---------------------------------------------------------------------------------------------

class THeaderFooterWindow : public TDocumentDialog<TfmHeaderFooter> {
public:
    using TDocumentDialog::TDocumentDialog;
    ~THeaderFooterWindow() override {
        if (FMono)
            DeleteObject(FMono);
    }

protected:
    void OnCreate() override {
        FUI.Owner = FHandle;
        HDC screen = GetDC(nullptr);
        const int height = -MulDiv(10, GetDeviceCaps(screen, LOGPIXELSY), 72);
        ReleaseDC(nullptr, screen);
        FMono = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
        const DWORD memo = WS_TABSTOP | WS_BORDER | ES_MULTILINE | ES_WANTRETURN | ES_AUTOHSCROLL | ES_AUTOVSCROLL;
        AddLabel(HeaderLabel, 8, 10, 80, 30);
        FHeader.Handle = Add(L"EDIT", L"", memo, 88, 8, ClientWidth() - 96, 80, IdHeader);
        AddLabel(FooterLabel, 8, 100, 80, 30);
        FFooter.Handle = Add(L"EDIT", L"", memo, 88, 98, ClientWidth() - 96, 80, IdFooter);
        for (HWND w : {FHeader.Handle, FFooter.Handle}) {
            SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(FMono), FALSE);
            SetPropW(w, L"OrvelMemo", this);
            FMemoProc = SubclassWindow(w, &THeaderFooterWindow::MemoProc);
        }
        // This dialog's OK is spelled in Cyrillic letters, unlike its neighbours'.
        AddFooter(ClientHeight() - 37, OkButton);
        Adopt(std::make_unique<TfmHeaderFooter>(FDevice, FUI, FServices,
                                                THeaderFooterControls{FHeader, FFooter, FProgress}));
    }
    void Program() override { FLogic->btnOKClick(); }

private:
    static TMemoState MemoState(HWND memo) {
        TMemoState state;
        const int lines = static_cast<int>(SendMessageW(memo, EM_GETLINECOUNT, 0, 0));
        for (int i = 0; i < lines; ++i) {
            wchar_t buffer[256] = {};
            *reinterpret_cast<WORD*>(buffer) = 255;
            const LRESULT length = SendMessageW(memo, EM_GETLINE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
            state.Lines.emplace_back(buffer, buffer + length);
        }
        DWORD start = 0;
        SendMessageW(memo, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
        state.CaretLine = static_cast<int>(SendMessageW(memo, EM_LINEFROMCHAR, start, 0));
        state.CaretColumn =
            static_cast<int>(start) - static_cast<int>(SendMessageW(memo, EM_LINEINDEX, static_cast<WPARAM>(state.CaretLine), 0));
        return state;
    }
    static LRESULT CALLBACK MemoProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) try {
        auto* self = static_cast<THeaderFooterWindow*>(GetPropW(Window, L"OrvelMemo"));
        if (Msg == WM_CHAR &&
            !TfmHeaderFooter::edHeaderKeyPress(Window == self->FHeader.Handle, static_cast<WCHAR>(WParam),
                                               MemoState(Window)))
            return 0;
        if (Msg == WM_NCDESTROY)
            RemovePropW(Window, L"OrvelMemo");
        return CallWindowProcW(self->FMemoProc, Window, Msg, WParam, LParam);
    } catch (...) {
        return 0;
    }

    TEditControl FHeader, FFooter;
    HFONT FMono = nullptr;
    WNDPROC FMemoProc = nullptr;
};

// ---------------------------------------------------------------------------------------------

// A dialog around a grid, whose cell in edit is taken before the logic reads the cells.
template <class TLogic>
class TGridDialog : public TDocumentDialog<TLogic> {
public:
    using TDocumentDialog<TLogic>::TDocumentDialog;

protected:
    bool OnNotify(NMHDR* Header, LRESULT&) override { return FGrid.OnNotify(Header); }
    void Program() override {
        FGrid.EndEdit(true);
        this->FLogic->btnOkClick();
    }

    TListGrid FGrid;
};

class TPaymentsWindow : public TGridDialog<TfmPaymentsSettings> {
public:
    using TGridDialog::TGridDialog;

protected:
    void OnCreate() override {
        FUI.Owner = FHandle;
        const int width = ClientWidth() - 16;
        FGrid.Create(FHandle, Font(), 8, 8, width, 7 * 22 + 6, {24, 0}, {WString(), T(PaymentsHeading)}, 6, 22,
                     IdGrid);
        AddFooter(ClientHeight() - 37);
        Adopt(std::make_unique<TfmPaymentsSettings>(FDevice, FUI, FServices, FGrid, FProgress));
    }
};

// ---------------------------------------------------------------------------------------------

class TTaxesWindow : public TGridDialog<TfrmTaxesParams> {
public:
    using TGridDialog::TGridDialog;

protected:
    void OnCreate() override {
        FUI.Owner = FHandle;
        const int width = ClientWidth() - 16;
        FGrid.Create(FHandle, Font(), 8, 8, width, 9 * 20 + 6, {24, 0, 70},
                     {WString(), T(TaxesNameHeading), T(TaxesRateHeading)}, 8, 20, IdGrid);
        const WCHAR separator = SystemDecimalSeparator();
        FGrid.KeyFilter = [separator](int column, const WString& text, WCHAR& key) {
            return TfrmTaxesParams::sgTaxesKeyPress(column, text, key, separator);
        };
        FPrintTaxes.Handle = Add(L"BUTTON", T(PrintTaxesCheck), WS_TABSTOP | BS_AUTOCHECKBOX, 8, 9 * 20 + 20,
                                 width, 18, IdPrintTaxes);
        AddFooter(ClientHeight() - 37);
        Adopt(std::make_unique<TfrmTaxesParams>(FDevice, FUI, FServices, FGrid, FPrintTaxes, FProgress));
        SetFocus(FOk);
    }

private:
    TCheckControl FPrintTaxes;
};

} // namespace

void ShowDocParamsDialog(TBaseDevice& Device, TWin32SettingsUI& UI, IFiscalServices& Services,
                         TfrmCommonSettings* Shell) {
    TDocParamsWindow dialog(DocParamsCaption, 496, 602, Device, UI, Services, Shell);
    RunModal(dialog, UI);
}

void ShowHeaderFooterDialog(TBaseDevice& Device, TWin32SettingsUI& UI, IFiscalServices& Services,
                            TfrmCommonSettings* Shell) {
    THeaderFooterWindow dialog(HeaderFooterCaption, 426, 233, Device, UI, Services, Shell);
    RunModal(dialog, UI);
}

void ShowPaymentsDialog(TBaseDevice& Device, TWin32SettingsUI& UI, IFiscalServices& Services,
                        TfrmCommonSettings* Shell) {
    TPaymentsWindow dialog(PaymentsCaption, 289, 208, Device, UI, Services, Shell);
    RunModal(dialog, UI);
}

void ShowTaxesDialog(TBaseDevice& Device, TWin32SettingsUI& UI, IFiscalServices& Services,
                     TfrmCommonSettings* Shell) {
    TTaxesWindow dialog(TaxesCaption, 327, 260, Device, UI, Services, Shell);
    RunModal(dialog, UI);
}
