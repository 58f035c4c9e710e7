// The window of the full settings list.
#include "settings/win32/ufmSettingsListView.h"

#include "settings/ufmCommonSettings.h"
#include "settings/uSettingsTexts.h"
#include "settings/win32/Win32Controls.h"

using namespace settingstexts;

namespace {

constexpr LONG FormWidth = 374;
constexpr LONG FormHeight = 379;
constexpr LONG StatusHeight = 55;
constexpr LONG FooterHeight = 41;

enum : int { IdList = 100, IdStatus, IdEdit, IdCombo, IdDefault, IdMenuEdit = 201, IdMenuDefault };

const wchar_t SelfProperty[] = L"OrvelSettingsList";

} // namespace

TSettingsListWindow::TSettingsListWindow(TBaseDevice& Device)
    : TWin32Dialog(T(ListCaption), FormWidth, FormHeight), FDevice(Device), FLogic(Device, *this) {}

TSettingsListWindow::~TSettingsListWindow() = default;

void TSettingsListWindow::OnCreate() {
    const LONG listHeight = FormHeight - StatusHeight - FooterHeight;
    FList = Add(WC_LISTVIEWW, L"",
                WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                    LVS_NOSORTHEADER,
                0, 0, FormWidth, listHeight, IdList);
    SendMessageW(FList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_FLATSB);
    const struct {
        const char* Caption;
        int Width;
    } columns[] = {{ListColumnName, 190}, {ListColumnValue, 90}, {ListColumnDefault, 90}};
    for (int i = 0; i < 3; ++i) {
        const WString caption = T(columns[i].Caption);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<LPWSTR>(caption.c_str());
        column.cx = columns[i].Width;
        SendMessageW(FList, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    SendMessageW(FList, LVM_SETITEMCOUNT, static_cast<WPARAM>(FLogic.RowCount()), 0);
    FStatus = Add(L"STATIC", L"", SS_LEFT | SS_SUNKEN | SS_NOPREFIX, 0, listHeight, FormWidth, StatusHeight, IdStatus);
    const int buttonsY = FormHeight - FooterHeight + 8;
    HWND byDefault = AddButton(ListDefaultButton, 8, buttonsY, 90, 25, IdDefault);
    SetHint(byDefault, T(ListDefaultHint));
    HWND ok = AddButton(OkButton, FormWidth - 8 - 75 - 6 - 75, buttonsY, 75, 25, IDOK, BS_DEFPUSHBUTTON);
    SetHint(ok, T(OkHint));
    SetHelpContext(ok, HelpContextOk);
    HWND cancel = AddButton(CancelButton, FormWidth - 8 - 75, buttonsY, 75, 25, IDCANCEL);
    SetHint(cancel, T(CancelHint));
    SetHelpContext(cancel, HelpContextCancel);
    // The in-place editors, hidden until an edit begins.
    FEdit = Add(L"EDIT", L"", ES_AUTOHSCROLL | WS_BORDER, 0, 0, 90, 20, IdEdit);
    FCombo = Add(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL, 0, 0, 90, 100, IdCombo);
    SendMessageW(FCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(T(BooleanFalse).c_str()));
    SendMessageW(FCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(T(BooleanTrue).c_str()));
    ShowWindow(FEdit, SW_HIDE);
    ShowWindow(FCombo, SW_HIDE);
    SetWindowPos(FEdit, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(FCombo, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // Enter and Escape belong to the list and its editors, not to the dialog's buttons.
    for (HWND w : {FList, FEdit, FCombo}) {
        SetPropW(w, SelfProperty, this);
        WNDPROC old = SubclassWindow(w, &TSettingsListWindow::KeyProc);
        (w == FList ? FListProc : w == FEdit ? FEditProc : FComboProc) = old;
    }
    if (FLogic.RowCount() > 0) {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(FList, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    }
    SetFocus(FList);
}

LRESULT CALLBACK TSettingsListWindow::KeyProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) try {
    auto* self = static_cast<TSettingsListWindow*>(GetPropW(Window, SelfProperty));
    WNDPROC old = Window == self->FList ? self->FListProc : Window == self->FEdit ? self->FEditProc : self->FComboProc;
    switch (Msg) {
    case WM_GETDLGCODE:
        if (WParam == VK_RETURN || WParam == VK_ESCAPE)
            return CallWindowProcW(old, Window, Msg, WParam, LParam) | DLGC_WANTALLKEYS;
        break;
    case WM_KEYDOWN:
        if (Window != self->FList && (WParam == VK_RETURN || WParam == VK_ESCAPE)) {
            self->FLogic.edEditKeyDown(static_cast<WORD>(WParam));
            return 0;
        }
        break;
    case WM_CHAR:
        // No beep for the keys taken above.
        if (Window != self->FList && (WParam == '\r' || WParam == 27))
            return 0;
        break;
    case WM_KILLFOCUS:
        if (Window != self->FList) {
            const LRESULT r = CallWindowProcW(old, Window, Msg, WParam, LParam);
            // The drop-down's own list takes the focus while it is open.
            if (Window == self->FEdit || !SendMessageW(self->FCombo, CB_GETDROPPEDSTATE, 0, 0))
                self->FLogic.edEditExit();
            return r;
        }
        break;
    case WM_NCDESTROY:
        RemovePropW(Window, SelfProperty);
        SubclassWindow(Window, old);
        break;
    default:
        break;
    }
    return CallWindowProcW(old, Window, Msg, WParam, LParam);
} catch (...) {
    return 0;
}

int TSettingsListWindow::SelectedRow() const {
    return static_cast<int>(SendMessageW(FList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TSettingsListWindow::RedrawRow(int Row) {
    SendMessageW(FList, LVM_REDRAWITEMS, static_cast<WPARAM>(Row), Row);
}

void TSettingsListWindow::RedrawAll() {
    InvalidateRect(FList, nullptr, TRUE);
}

void TSettingsListWindow::SetStatus(const WString& Text) {
    SetWindowTextW(FStatus, Text.c_str());
}

HWND TSettingsListWindow::Editor() const {
    return FLogic.Editor() == TfrmSettingsList::cbEdit ? FCombo : FEdit;
}

bool TSettingsListWindow::EditorVisible() const {
    return IsWindowVisible(Editor()) != FALSE;
}

void TSettingsListWindow::PlaceEditor(HWND Editor) {
    const int row = static_cast<int>(SendMessageW(FList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    RECT r{};
    r.left = LVIR_BOUNDS;
    SendMessageW(FList, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    MapWindowPoints(FList, FHandle, reinterpret_cast<POINT*>(&r), 2);
    const int first = static_cast<int>(SendMessageW(FList, LVM_GETCOLUMNWIDTH, 0, 0));
    const int second = static_cast<int>(SendMessageW(FList, LVM_GETCOLUMNWIDTH, 1, 0));
    const int height = r.bottom - r.top + 7;
    SetWindowPos(Editor, HWND_TOP, first + r.left + 3, r.top, second, Editor == FCombo ? 120 : height, SWP_SHOWWINDOW);
    SetFocus(Editor);
}

void TSettingsListWindow::ShowEdit(const WString& Text) {
    SetWindowTextW(FEdit, Text.c_str());
    PlaceEditor(FEdit);
    SendMessageW(FEdit, EM_SETSEL, 0, -1);
}

void TSettingsListWindow::ShowCombo(int Index) {
    SendMessageW(FCombo, CB_SETCURSEL, static_cast<WPARAM>(Index), 0);
    PlaceEditor(FCombo);
}

WString TSettingsListWindow::EditText() const {
    const int length = GetWindowTextLengthW(FEdit);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(FEdit, &text[0], length + 1);
    text.resize(static_cast<std::size_t>(length));
    return WString(text.begin(), text.end());
}

int TSettingsListWindow::ComboIndex() const {
    return static_cast<int>(SendMessageW(FCombo, CB_GETCURSEL, 0, 0));
}

void TSettingsListWindow::HideEditor() {
    ShowWindow(Editor(), SW_HIDE);
    SetFocus(FList);
}

void TSettingsListWindow::OpenMenu() {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, IdMenuEdit, T(ListMenuEdit).c_str());
    AppendMenuW(menu, MF_STRING, IdMenuDefault, T(ListMenuDefault).c_str());
    POINT p;
    GetCursorPos(&p);
    const int id = TrackPopupMenu(menu, TPM_RETURNCMD, p.x, p.y, 0, FHandle, nullptr);
    DestroyMenu(menu);
    if (id == IdMenuEdit)
        FLogic.miEditClick();
    else if (id == IdMenuDefault)
        FLogic.miDefaultClick();
}

bool TSettingsListWindow::OnCommand(int Id, int Code, HWND) {
    if (Id == IdDefault && Code == BN_CLICKED) {
        FLogic.btnDefaultClick();
        return true;
    }
    return false;
}

bool TSettingsListWindow::OnNotify(NMHDR* Header, LRESULT& Result) {
    if (Header->hwndFrom != FList)
        return false;
    switch (Header->code) {
    case LVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(Header);
        if (info->item.mask & LVIF_TEXT) {
            const WString text = FLogic.CellText(info->item.iItem, info->item.iSubItem);
            FCellText.assign(text.begin(), text.end());
            lstrcpynW(info->item.pszText, FCellText.c_str(), info->item.cchTextMax);
        }
        Result = 0;
        return true;
    }
    case LVN_ITEMCHANGED: {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(Header);
        if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
            !(change->uOldState & LVIS_SELECTED))
            FLogic.lvSettingsChange();
        return false;
    }
    case NM_DBLCLK:
        FLogic.lvSettingsDblClick();
        return false;
    case NM_RCLICK:
        OpenMenu();
        return false;
    case LVN_KEYDOWN:
        FLogic.lvSettingsKeyDown(reinterpret_cast<const NMLVKEYDOWN*>(Header)->wVKey);
        return false;
    default:
        return false;
    }
}
