// The window of the fiscal printer's page.
#include "settings/win32/ufmMainSettingsView.h"

#include "settings/uSettingsTexts.h"
#include "settings/win32/ufmDocumentDialogViews.h"

using namespace settingstexts;

namespace {

enum : int {
    IdPort = 100,
    IdBaud,
    IdChangeBaud,
    IdName,
    IdPass,
    IdDocSettings,
    IdPayments,
    IdHeaderFooter,
    IdTaxes,
    IdDateTime,
    IdPrinterInfo,
    IdCloseDay,
    IdXReport,
};

} // namespace

class TMainSettingsPage::TWindow : public TWin32Dialog {
public:
    TWindow(TMainSettingsPage& Page) : TWin32Dialog(T(MainCaption), Width, Height), FPage(Page) {}

protected:
    void OnCreate() override {
        TMainSettingsPageControls& c = FPage;
        Add(L"BUTTON", T(ConnectionGroup), BS_GROUPBOX, 8, 6, 334, 142);
        AddLabel(PortLabel, 18, 31, 104, 16);
        // The picker marks each port by whether it can be opened now.
        c.Port.View = std::make_unique<TPortsComboBoxView>(FHandle, IdPort, 124, 27, 90, 200);
        SendMessageW(c.Port.View->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
        c.Port.View->Show();
        AddLabel(BaudLabel, 18, 59, 104, 16);
        c.Baud.Handle = Add(L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 124, 55, 80, 200, IdBaud);
        for (const char* rate : BaudRates)
            c.Baud.AddItem(T(rate));
        c.Baud.SetItemIndex(DefaultBaudIndex);
        // As wide as the group leaves it: its caption needs more than the drop-down's speeds.
        AddButton(ChangeBaudButton, 210, 54, 126, 24, IdChangeBaud);
        AddLabel(OperNameLabel, 18, 88, 104, 16);
        c.Name.Handle = Add(L"EDIT", L"", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 124, 85, 212, 21, IdName);
        SendMessageW(c.Name.Handle, EM_LIMITTEXT, 24, 0);
        AddLabel(OperPassLabel, 18, 116, 104, 16);
        c.Pass.Handle =
            Add(L"EDIT", L"", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | ES_PASSWORD, 124, 113, 90, 21, IdPass);
        SendMessageW(c.Pass.Handle, EM_LIMITTEXT, 6, 0);
        const struct {
            const char* Caption;
            int Id;
        } left[] = {{DocSettingsButton, IdDocSettings},
                    {PaymentsButton, IdPayments},
                    {HeaderFooterButton, IdHeaderFooter},
                    {TaxesButton, IdTaxes}},
          right[] = {{DateTimeButton, IdDateTime},
                     {PrinterInfoButton, IdPrinterInfo},
                     {CloseDayButton, IdCloseDay},
                     {XReportButton, IdXReport}};
        for (int i = 0; i < 4; ++i)
            AddButton(left[i].Caption, 8, 158 + 34 * i, 163, 28, left[i].Id);
        for (int i = 0; i < 4; ++i) {
            HWND button = AddButton(right[i].Caption, 179, 158 + 34 * i, 163, 28, right[i].Id);
            if (right[i].Id == IdCloseDay)
                c.CloseDay.Handle = button;
        }
        // Topics 1 to 13 of the help file's popup table, in the controls' order.
        for (int id = IdPort; id <= IdXReport; ++id)
            SetHelpContext(GetDlgItem(FHandle, id), id - IdPort + 1);
    }

    bool OnCommand(int Id, int Code, HWND) override {
        if (Code != BN_CLICKED)
            return false;
        switch (Id) {
        case IdChangeBaud:
            FPage.btnChangeBaudClick();
            return true;
        case IdDateTime:
            FPage.btnChangeDataTimeClick();
            return true;
        case IdPrinterInfo:
            FPage.btnCRInfoClick();
            return true;
        case IdCloseDay:
            FPage.btnCloseDayClick();
            return true;
        case IdXReport:
            FPage.btnXReportClick();
            return true;
        case IdDocSettings:
        case IdPayments:
        case IdHeaderFooter:
        case IdTaxes:
            FPage.OpenDocumentDialog(Id);
            return true;
        default:
            return false;
        }
    }

private:
    TMainSettingsPage& FPage;
};

TMainSettingsPage::TMainSettingsPage(TDriverFR& Driver, TWin32SettingsUI& UI, IFiscalServices& Services, HWND Shell)
    : TfrmMainSettings(Driver, UI, Services,
                       TMainSettingsControls{TMainSettingsPageControls::Port, TMainSettingsPageControls::Baud,
                                             TMainSettingsPageControls::Name, TMainSettingsPageControls::Pass,
                                             TMainSettingsPageControls::CloseDay}),
      FDriver(Driver), FWin32UI(UI), FWindow(std::make_unique<TWindow>(*this)) {
    FWindow->CreateChild(Shell);
}

TMainSettingsPage::~TMainSettingsPage() {
    // The picker's open test and its hooks on the page go before the page's window.
    Port.View.reset();
}

HWND TMainSettingsPage::PageWindow() const {
    return FWindow->Handle();
}

void TMainSettingsPage::OpenDocumentDialog(int Id) {
    HWND owner = FWin32UI.Owner;
    switch (Id) {
    case IdDocSettings:
        ShowDocParamsDialog(FDriver, FWin32UI, FServices, FSettingsForm);
        break;
    case IdPayments:
        ShowPaymentsDialog(FDriver, FWin32UI, FServices, FSettingsForm);
        break;
    case IdHeaderFooter:
        ShowHeaderFooterDialog(FDriver, FWin32UI, FServices, FSettingsForm);
        break;
    case IdTaxes:
        ShowTaxesDialog(FDriver, FWin32UI, FServices, FSettingsForm);
        break;
    default:
        break;
    }
    FWin32UI.Owner = owner;
}
