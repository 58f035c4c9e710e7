// The string grid of the payment and tax dialogs.
#include "settings/win32/Win32Grid.h"

namespace {
const wchar_t SelfProperty[] = L"OrvelListGrid";
} // namespace

HWND TListGrid::Create(HWND Dialog, HFONT Font, int X, int Y, int Width, int Height, const std::vector<int>& Widths,
                       const std::vector<WString>& Headings, int Rows, int RowHeight, int Id) {
    FList = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                LVS_NOSORTHEADER | LVS_SHAREIMAGELISTS,
                            X, Y, Width, Height, Dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id)),
                            GetModuleHandleW(nullptr), nullptr);
    SendMessageW(FList, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    SendMessageW(FList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    // The rows' height comes from the height of their (empty) images.
    FRowHeight = ImageList_Create(1, RowHeight, ILC_COLOR, 1, 0);
    SendMessageW(FList, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(FRowHeight));
    FColumns = static_cast<int>(Widths.size());
    // A width of 0 takes what the other columns leave of the client area.
    RECT client;
    GetClientRect(FList, &client);
    int rest = client.right;
    for (int w : Widths)
        rest -= w;
    for (int i = 0; i < FColumns; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = Widths[static_cast<std::size_t>(i)] == 0 ? rest : Widths[static_cast<std::size_t>(i)];
        column.pszText = const_cast<LPWSTR>(Headings[static_cast<std::size_t>(i)].c_str());
        SendMessageW(FList, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    // The headings are drawn here: the header's own drawing clips a heading to the width it
    // measures, and the last letter of a long one is lost.
    FHeadings = Headings;
    HWND header = reinterpret_cast<HWND>(SendMessageW(FList, LVM_GETHEADER, 0, 0));
    for (int i = 0; i < FColumns; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        item.fmt |= HDF_OWNERDRAW;
        SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    for (int r = 0; r < Rows; ++r) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = r;
        item.pszText = const_cast<LPWSTR>(L"");
        SendMessageW(FList, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    // The grid is as high as its heading and rows, without a scroll bar.
    RECT first{};
    first.left = LVIR_BOUNDS;
    SendMessageW(FList, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    RECT outer, inner;
    GetWindowRect(FList, &outer);
    GetClientRect(FList, &inner);
    const int frame = (outer.bottom - outer.top) - inner.bottom;
    SetWindowPos(FList, nullptr, 0, 0, Width, first.top + Rows * (first.bottom - first.top) + frame,
                 SWP_NOMOVE | SWP_NOZORDER);
    FEdit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 10, 10, FList, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    SendMessageW(FEdit, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    SetPropW(FEdit, SelfProperty, this);
    FEditProc = SubclassWindow(FEdit, &TListGrid::EditProc);
    SetPropW(FList, SelfProperty, this);
    FListProc = SubclassWindow(FList, &TListGrid::ListProc);
    return FList;
}

TListGrid::~TListGrid() {
    if (FRowHeight)
        ImageList_Destroy(FRowHeight);
}

WString TListGrid::Cell(int Column, int Row) const {
    wchar_t buffer[512] = {};
    LVITEMW item{};
    item.iSubItem = Column;
    item.pszText = buffer;
    item.cchTextMax = 512;
    SendMessageW(FList, LVM_GETITEMTEXTW, static_cast<WPARAM>(Row - 1), reinterpret_cast<LPARAM>(&item));
    return WString(buffer);
}

void TListGrid::SetCell(int Column, int Row, const WString& Text) {
    LVITEMW item{};
    item.iSubItem = Column;
    item.pszText = const_cast<LPWSTR>(Text.c_str());
    SendMessageW(FList, LVM_SETITEMTEXTW, static_cast<WPARAM>(Row - 1), reinterpret_cast<LPARAM>(&item));
}

void TListGrid::FocusCell(int Column, int Row) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(FList, LVM_SETITEMSTATE, static_cast<WPARAM>(Row - 1), reinterpret_cast<LPARAM>(&item));
    BeginEdit(Row, Column);
}

void TListGrid::MoveEdit(bool Back) {
    const int row = FEditRow, column = FEditColumn + (Back ? -1 : 1);
    if (column >= 1 && column < FColumns) {
        BeginEdit(row, column);
        return;
    }
    EndEdit(true);
    SetFocus(FList);
    SendMessageW(GetParent(FList), WM_NEXTDLGCTL, Back ? 1 : 0, FALSE);
}

void TListGrid::BeginEdit(int Row, int Column) {
    if (Row < 1 || Column < 1 || Column >= FColumns)
        return;
    EndEdit(true);
    RECT r{};
    r.top = Column;
    r.left = LVIR_BOUNDS;
    SendMessageW(FList, LVM_GETSUBITEMRECT, static_cast<WPARAM>(Row - 1), reinterpret_cast<LPARAM>(&r));
    const int width = static_cast<int>(SendMessageW(FList, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(Column), 0));
    FEditRow = Row;
    FEditColumn = Column;
    SetWindowTextW(FEdit, Cell(Column, Row).c_str());
    SetWindowPos(FEdit, HWND_TOP, r.left, r.top, width, r.bottom - r.top, SWP_SHOWWINDOW);
    SendMessageW(FEdit, EM_SETSEL, 0, -1);
    SetFocus(FEdit);
}

void TListGrid::EndEdit(bool Store) {
    if (FEditRow < 0)
        return;
    const int row = FEditRow, column = FEditColumn;
    FEditRow = FEditColumn = -1;
    if (Store)
        SetCell(column, row, WindowText(FEdit));
    ShowWindow(FEdit, SW_HIDE);
}

LRESULT CALLBACK TListGrid::EditProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) try {
    auto* self = static_cast<TListGrid*>(GetPropW(Window, SelfProperty));
    const WNDPROC old = self->FEditProc;
    switch (Msg) {
    case WM_GETDLGCODE:
        return CallWindowProcW(old, Window, Msg, WParam, LParam) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        if (WParam == VK_RETURN || WParam == VK_ESCAPE) {
            self->EndEdit(WParam == VK_RETURN);
            SetFocus(self->FList);
            return 0;
        }
        if (WParam == VK_TAB) {
            self->MoveEdit(GetKeyState(VK_SHIFT) < 0);
            return 0;
        }
        break;
    case WM_CHAR: {
        if (WParam == 27 || WParam == '\t')
            return 0;
        WCHAR key = static_cast<WCHAR>(WParam);
        if (self->KeyFilter && !self->KeyFilter(self->FEditColumn, WindowText(Window), key))
            return 0;
        if (key == '\r')
            return 0;
        return CallWindowProcW(old, Window, Msg, static_cast<WPARAM>(key), LParam);
    }
    case WM_KILLFOCUS: {
        // A message box over the dialog (a refused input) leaves the cell open with what was
        // typed; another control of the dialog takes it.
        HWND to = reinterpret_cast<HWND>(WParam);
        if (to && GetAncestor(to, GA_ROOT) == GetAncestor(Window, GA_ROOT))
            self->EndEdit(true);
        break;
    }
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

LRESULT CALLBACK TListGrid::ListProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) try {
    auto* self = static_cast<TListGrid*>(GetPropW(Window, SelfProperty));
    const WNDPROC old = self->FListProc;
    // Enter starts the row's edit instead of pressing the dialog's OK.
    if (Msg == WM_GETDLGCODE && WParam == VK_RETURN)
        return CallWindowProcW(old, Window, Msg, WParam, LParam) | DLGC_WANTALLKEYS;
    if (Msg == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(LParam);
        if (item->CtlType == ODT_HEADER && item->itemID < self->FHeadings.size()) {
            const WString& text = self->FHeadings[item->itemID];
            RECT r = item->rcItem;
            r.left += 3 * GetSystemMetrics(SM_CXEDGE);
            SetBkMode(item->hDC, TRANSPARENT);
            SetTextColor(item->hDC, GetSysColor(COLOR_BTNTEXT));
            DrawTextW(item->hDC, text.c_str(), static_cast<int>(text.size()), &r,
                      DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            return TRUE;
        }
    }
    if (Msg == WM_NCDESTROY) {
        RemovePropW(Window, SelfProperty);
        SubclassWindow(Window, old);
    }
    return CallWindowProcW(old, Window, Msg, WParam, LParam);
} catch (...) {
    return 0;
}

bool TListGrid::OnNotify(NMHDR* Header) {
    if (Header->hwndFrom != FList)
        return false;
    if (Header->code == NM_CLICK || Header->code == NM_DBLCLK) {
        const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(Header);
        LVHITTESTINFO hit{};
        hit.pt = click->ptAction;
        SendMessageW(FList, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.iItem >= 0)
            BeginEdit(hit.iItem + 1, hit.iSubItem);
        return true;
    }
    if (Header->code == LVN_KEYDOWN) {
        const WORD key = reinterpret_cast<const NMLVKEYDOWN*>(Header)->wVKey;
        const int row = static_cast<int>(SendMessageW(FList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        if ((key == VK_F2 || key == VK_RETURN) && row >= 0)
            BeginEdit(row + 1, 1);
        return true;
    }
    return false;
}
