// The window of the settings shell.
#include "settings/win32/ufmCommonSettingsView.h"

#include "settings/uSettingsTexts.h"
#include "settings/win32/Win32Help.h"
#include "settings/win32/ufmSettingsListView.h"

#include <shellapi.h>

using namespace settingstexts;

namespace {

constexpr LONG FormWidth = 324;
constexpr LONG FormHeight = 375;
constexpr LONG HeaderHeight = 36;
constexpr LONG FooterHeight = 53;
constexpr LONG SheetBorder = 2;
constexpr COLORREF HeaderColour = RGB(255, 198, 0);

enum : int {
    IdAdditional = 100,
    IdLogo,
    IdTabs,
    IdMenuReset = 201,
    IdMenuDeviceTest,
    IdMenuSettingsList,
    IdMenuHelp,
};

const char LogoText[] = "Kelvo";

} // namespace

// The information page: six rows of a bold caption and a wrapped value.
class TCommonSettingsWindow::TInfoPage : public TWin32Dialog {
public:
    explicit TInfoPage(const TShellInfo& Info) : TWin32Dialog(T(InfoTab), 300, 260), FInfo(Info) {}

protected:
    void OnCreate() override {
        const struct {
            const char* Caption;
            const WString* Value;
            int Height;
        } rows[] = {
            {InfoType, &FInfo.TypeName, 16},      {InfoModel, &FInfo.ModelName, 28},
            {InfoVersion, &FInfo.Version, 16},    {InfoDeveloper, &FInfo.Developer, 16},
            {InfoDescription, &FInfo.Description, 28}, {InfoContact, &FInfo.Contact, 90},
        };
        int y = 10;
        for (const auto& row : rows) {
            HWND caption = AddLabel(row.Caption, 8, y, 90, 28);
            SendMessageW(caption, WM_SETFONT, reinterpret_cast<WPARAM>(BoldFont()), FALSE);
            Add(L"STATIC", *row.Value, SS_LEFT | SS_NOPREFIX, 100, y, ClientWidth() - 108, row.Height);
            y += row.Height + 6;
        }
    }

private:
    TShellInfo FInfo;
};

TCommonSettingsWindow::TCommonSettingsWindow(TBaseDevice& Device, TWin32SettingsUI& UI,
                                             std::vector<TPageFactory> PageClasses, std::string HelpFolder)
    : TWin32Dialog(T(ShellCaption), FormWidth, FormHeight), FDevice(Device), FUI(UI),
      FPageClasses(std::move(PageClasses)), FHelpFolder(std::move(HelpFolder)) {
    // A dialog frame with the system menu and the help button of the context help.
    FStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    FExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTEXTHELP;
    FHeaderBrush = CreateSolidBrush(HeaderColour);
}

TCommonSettingsWindow::~TCommonSettingsWindow() {
    FLogic.reset();
    FInfo.reset();
    DeleteObject(FHeaderBrush);
}

void TCommonSettingsWindow::OnCreate() {
    FUI.Owner = FHandle;
    FLogo = Add(L"STATIC", T(LogoText), SS_CENTER | SS_CENTERIMAGE | SS_NOTIFY, 6, 4, 60, 28, IdLogo);
    SendMessageW(FLogo, WM_SETFONT, reinterpret_cast<WPARAM>(BoldFont()), FALSE);
    FModelName = Add(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 72, 3, 240, 15);
    FVersion = Add(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 72, 19, 240, 15);
    FTabs = Add(WC_TABCONTROLW, L"", WS_TABSTOP | WS_CLIPSIBLINGS | TCS_MULTILINE, 0, HeaderHeight, FormWidth,
                FormHeight - HeaderHeight - FooterHeight, IdTabs);
    SetHint(FTabs, T(PagesHint));
    SetHelpContext(FTabs, HelpContextPages);
    FAdditional = AddButton(AdditionalButton, 8, 0, 100, 25, IdAdditional);
    SetHint(FAdditional, T(AdditionalHint));
    SetHelpContext(FAdditional, HelpContextAdditional);
    FOk = AddButton(OkButton, 0, 0, 75, 25, IDOK, BS_DEFPUSHBUTTON);
    SetHint(FOk, T(OkHint));
    SetHelpContext(FOk, HelpContextOk);
    FCancel = AddButton(CancelButton, 0, 0, 75, 25, IDCANCEL);
    SetHint(FCancel, T(CancelHint));
    SetHelpContext(FCancel, HelpContextCancel);

    FLogic = std::make_unique<TfrmCommonSettings>(FDevice, FUI, *this, FHelpFolder);
    FLogic->Initialize(FPageClasses);
    SetWindowTextW(FModelName, FLogic->Info().ModelName.c_str());
    SetWindowTextW(FVersion, FLogic->Info().Version.c_str());
    Layout();
    ShowTab(0);
    // The host's window is disabled; ours comes to the front with the focus.
    SetForegroundWindow(FHandle);
}

RECT TCommonSettingsWindow::PageRect() const {
    RECT r;
    GetClientRect(FTabs, &r);
    TabCtrl_AdjustRect(FTabs, FALSE, &r);
    MapWindowPoints(FTabs, FHandle, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void TCommonSettingsWindow::AddTab(TfrmBaseSettings& Page) {
    const WString caption = Page.Caption();
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPWSTR>(caption.c_str());
    SendMessageW(FTabs, TCM_INSERTITEMW, static_cast<WPARAM>(FTabPages.size()), reinterpret_cast<LPARAM>(&item));
    FTabPages.push_back(Page.PageWindow());
    // The shell grows to hold the page; it never shrinks.
    LONG pageWidth = 0, pageHeight = 0;
    Page.GetClientSize(pageWidth, pageHeight);
    RECT tabs{0, 0, 100, 100};
    TabCtrl_AdjustRect(FTabs, FALSE, &tabs);
    TShellMetrics metrics;
    metrics.SheetBorder = SheetBorder;
    metrics.HeaderHeight = HeaderHeight;
    metrics.FooterHeight = FooterHeight;
    metrics.TabStripHeight = tabs.top;
    LONG width = this->ClientWidth(), height = this->ClientHeight();
    TfrmCommonSettings::GrowForPage(width, height, pageWidth, pageHeight, metrics);
    if (width != this->ClientWidth() || height != this->ClientHeight()) {
        SetClientSize(width, height);
        CenterOnScreen();
    }
    Layout();
}

void TCommonSettingsWindow::PagesAdded() {
    FInfo = std::make_unique<TInfoPage>(TfrmCommonSettings::InfoOf(FDevice.DeviceInfo()));
    HWND info = FInfo->CreateChild(FHandle);
    const WString caption = T(InfoTab);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPWSTR>(caption.c_str());
    SendMessageW(FTabs, TCM_INSERTITEMW, static_cast<WPARAM>(FTabPages.size()), reinterpret_cast<LPARAM>(&item));
    FTabPages.push_back(info);
    Layout();
    ShowTab(0);
}

void TCommonSettingsWindow::Layout() {
    const LONG w = ClientWidth(), h = ClientHeight();
    SetWindowPos(FModelName, nullptr, 72, 3, w - 80, 15, SWP_NOZORDER);
    SetWindowPos(FVersion, nullptr, 72, 19, w - 80, 15, SWP_NOZORDER);
    SetWindowPos(FTabs, nullptr, 0, HeaderHeight, w, h - HeaderHeight - FooterHeight, SWP_NOZORDER);
    const int buttonsY = h - FooterHeight + 14;
    SetWindowPos(FAdditional, nullptr, 8, buttonsY, 100, 25, SWP_NOZORDER);
    SetWindowPos(FOk, nullptr, w - 8 - 75 - 6 - 75, buttonsY, 75, 25, SWP_NOZORDER);
    SetWindowPos(FCancel, nullptr, w - 8 - 75, buttonsY, 75, 25, SWP_NOZORDER);
    const RECT r = PageRect();
    // Pages lie over the tab control and come after it in the tab order.
    HWND after = FTabs;
    for (HWND page : FTabPages)
        if (page) {
            SetWindowPos(page, after, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
            after = page;
        }
    InvalidateRect(FHandle, nullptr, TRUE);
}

void TCommonSettingsWindow::ShowTab(int Index) {
    if (Index < 0 || Index >= static_cast<int>(FTabPages.size()))
        return;
    SendMessageW(FTabs, TCM_SETCURSEL, static_cast<WPARAM>(Index), 0);
    for (std::size_t i = 0; i < FTabPages.size(); ++i)
        if (FTabPages[i])
            ShowWindow(FTabPages[i], static_cast<int>(i) == Index ? SW_SHOW : SW_HIDE);
}

bool TCommonSettingsWindow::OnNotify(NMHDR* Header, LRESULT&) {
    if (Header->hwndFrom == FTabs && Header->code == TCN_SELCHANGE) {
        ShowTab(static_cast<int>(SendMessageW(FTabs, TCM_GETCURSEL, 0, 0)));
        return true;
    }
    return false;
}

void TCommonSettingsWindow::OpenMenu() {
    HMENU menu = CreatePopupMenu();
    if (FReset.IsVisible)
        AppendMenuW(menu, MF_STRING | (FReset.IsEnabled ? 0 : MF_GRAYED), IdMenuReset, T(MenuReset).c_str());
    AppendMenuW(menu, MF_STRING, IdMenuDeviceTest, T(MenuDeviceTest).c_str());
    AppendMenuW(menu, MF_STRING, IdMenuSettingsList, T(MenuSettingsList).c_str());
    if (FHelp.IsVisible) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING | (FHelp.IsEnabled ? 0 : MF_GRAYED), IdMenuHelp, T(settingstexts::MenuHelp).c_str());
    }
    RECT r;
    GetWindowRect(FAdditional, &r);
    // The chosen item arrives as a command, as a keyboard or a test would send it.
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, r.left, r.bottom, 0, FHandle, nullptr);
    DestroyMenu(menu);
}

bool TCommonSettingsWindow::OnCommand(int Id, int Code, HWND) {
    switch (Id) {
    case IdAdditional:
        if (Code == BN_CLICKED)
            OpenMenu();
        return true;
    case IdMenuReset:
        if (FReset.IsVisible && FReset.IsEnabled)
            FLogic->miResetClick();
        return true;
    case IdMenuDeviceTest:
        FLogic->miDeviceTestClick();
        return true;
    case IdMenuSettingsList:
        FLogic->miSettingsListClick();
        return true;
    case IdMenuHelp:
        if (FHelp.IsVisible && FHelp.IsEnabled)
            FLogic->miHelpClick();
        return true;
    default:
        break;
    }
    if (Id == IdLogo && Code == STN_CLICKED) {
        const WString web = FLogic->Info().WebAddress;
        FUI.SetWaitCursor(true);
        ShellExecuteW(FHandle, L"open", web.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
        FUI.SetWaitCursor(false);
        return true;
    }
    return false;
}

bool TCommonSettingsWindow::CanClose(int Code) {
    return FLogic->CloseQuery(Code == IDOK);
}

bool TCommonSettingsWindow::ShowSettingsList() {
    TSettingsListWindow list(FDevice);
    const bool ok = list.ShowModal() == IDOK;
    FUI.Owner = FHandle;
    return ok;
}

bool TCommonSettingsWindow::ControlHint(WString& Hint, TPoint& At) {
    HWND control = nullptr;
    if (GetKeyState(VK_F1) < 0) {
        control = GetFocus();
    } else {
        // Disabled controls too: the deepest child under the pointer.
        POINT cursor;
        GetCursorPos(&cursor);
        HWND parent = FHandle;
        for (;;) {
            POINT p = cursor;
            ScreenToClient(parent, &p);
            HWND child = ChildWindowFromPointEx(parent, p, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
            if (!child || child == parent)
                break;
            control = child;
            parent = child;
        }
    }
    if (!control)
        return false;
    for (HWND w = control; w && w != FHandle; w = GetParent(w)) {
        Hint = HintOf(w);
        if (!Hint.empty())
            break;
    }
    if (Hint.empty())
        Hint = HintOf(FTabs);
    RECT r;
    GetWindowRect(control, &r);
    At = TPoint{r.left, r.top};
    return true;
}

void TCommonSettingsWindow::ShowHelpPopup(const THelpPopup& Popup) {
    ShowHelpPopupWindow(FHandle, Popup);
}

void TCommonSettingsWindow::ShowHelpFile(const std::string& HelpFile) {
    OpenHelpFile(FHandle, HelpFile);
}

bool TCommonSettingsWindow::OnMessage(UINT Msg, WPARAM WParam, LPARAM LParam, INT_PTR& Result) {
    switch (Msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(FHandle, &ps);
        RECT header{0, 0, ClientWidth(), HeaderHeight};
        FillRect(dc, &header, FHeaderBrush);
        EndPaint(FHandle, &ps);
        Result = TRUE;
        return true;
    }
    case WM_CTLCOLORSTATIC: {
        HWND control = reinterpret_cast<HWND>(LParam);
        if (control == FLogo || control == FModelName || control == FVersion) {
            SetBkMode(reinterpret_cast<HDC>(WParam), TRANSPARENT);
            Result = reinterpret_cast<INT_PTR>(FHeaderBrush);
            return true;
        }
        return false;
    }
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(WParam) == FLogo) {
            SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));
            SetWindowLongPtrW(FHandle, DWLP_MSGRESULT, TRUE);
            Result = TRUE;
            return true;
        }
        return false;
    case WM_HELP: {
        const auto* info = reinterpret_cast<const HELPINFO*>(LParam);
        LONG context = 0;
        for (HWND w = static_cast<HWND>(info->hItemHandle); w && !context && w != FHandle; w = GetParent(w))
            context = HelpContextOf(w);
        // The pages and their controls answer with the page control's help.
        if (!context)
            context = HelpContextPages;
        FLogic->HelpHandler(HelpCommandSetPopupPos,
                            MAKELONG(static_cast<WORD>(info->MousePos.x), static_cast<WORD>(info->MousePos.y)));
        FLogic->HelpHandler(HelpCommandContextPopup, static_cast<ULONG_PTR>(context));
        Result = TRUE;
        return true;
    }
    default:
        return false;
    }
}
