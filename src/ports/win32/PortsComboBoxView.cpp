#include "ports/win32/PortsComboBoxView.h"

#include <commctrl.h>

namespace {

const char NotifyClassName[] = "Orvel27PortsNotify";

HINSTANCE ThisModule() { return static_cast<HINSTANCE>(platform::ModuleOf(reinterpret_cast<const void*>(&ThisModule))); }

void RegisterNotifyClass(WNDPROC Proc) {
    WNDCLASSA wc{};
    if (GetClassInfoA(ThisModule(), NotifyClassName, &wc))
        return;
    wc.lpfnWndProc = Proc;
    wc.hInstance = ThisModule();
    wc.lpszClassName = NotifyClassName;
    RegisterClassA(&wc);
}

} // namespace

TPortsComboBoxView::TPortsComboBoxView(HWND Parent, int Id, int X, int Y, int Width, int Height,
                                       TPortsEnvironment Environment)
    : FParent(Parent), FId(Id) {
    RegisterNotifyClass(&NotifyProc);
    FNotify = CreateWindowExA(0, NotifyClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ThisModule(), nullptr);
    SetWindowLongPtrA(FNotify, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // Before the list exists: it asks its parent for the item height while it is being created.
    SetWindowSubclass(FParent, &ParentProc, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this));
    FCombo = CreateWindowExA(0, "COMBOBOX", "",
                             WS_CHILD | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                             X, Y, Width, Height, FParent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id)), ThisModule(),
                             nullptr);
    SendMessageA(FCombo, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    SendMessageA(FCombo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), PortItemHeight);
    SendMessageA(FCombo, CB_SETITEMHEIGHT, 0, PortItemHeight);
    FPicker = std::make_unique<TPortsComboBox>(*this, std::move(Environment));
    HWND notify = FNotify;
    FPicker->OnPortStateChanged = [notify](int Index) { PostMessageA(notify, PortStateChanged, static_cast<WPARAM>(Index), 0); };
}

TPortsComboBoxView::~TPortsComboBoxView() {
    FPicker.reset();
    DestroyWindow(FNotify);
    RemoveWindowSubclass(FParent, &ParentProc, reinterpret_cast<UINT_PTR>(this));
    if (IsWindow(FCombo))
        DestroyWindow(FCombo);
}

void TPortsComboBoxView::Show() {
    ShowWindow(FCombo, SW_SHOW);
    FPicker->Shown();
}

void TPortsComboBoxView::DrawPortItem(HDC Dc, const RECT& Rect, const TPortProp* Record, bool Selected) {
    FillRect(Dc, &Rect, GetSysColorBrush(Selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (!Record)
        return;
    const TStateColours colours = StateColours(Record->State);
    HBRUSH brush = CreateSolidBrush(colours.Brush);
    HPEN pen = CreatePen(PS_SOLID, 1, colours.Pen);
    HGDIOBJ oldBrush = SelectObject(Dc, brush);
    HGDIOBJ oldPen = SelectObject(Dc, pen);
    Ellipse(Dc, Rect.left + MarkLeft, Rect.top + MarkTop, Rect.left + MarkRight, Rect.top + MarkBottom);
    SelectObject(Dc, oldBrush);
    SelectObject(Dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
    const int oldMode = SetBkMode(Dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(Dc, GetSysColor(Selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    TextOutA(Dc, Rect.left + NameLeft, Rect.top, Record->Name.c_str(), static_cast<int>(Record->Name.size()));
    SetTextColor(Dc, oldColour);
    SetBkMode(Dc, oldMode);
}

LRESULT CALLBACK TPortsComboBoxView::ParentProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR, DWORD_PTR Data) try {
    auto* view = reinterpret_cast<TPortsComboBoxView*>(Data);
    if (Msg == WM_MEASUREITEM && static_cast<int>(WParam) == view->FId) {
        reinterpret_cast<MEASUREITEMSTRUCT*>(LParam)->itemHeight = PortItemHeight;
        return TRUE;
    }
    if (Msg == WM_DRAWITEM && static_cast<int>(WParam) == view->FId) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(LParam);
        const int index = static_cast<int>(item->itemID);
        TPortProp record;
        const bool known = view->FPicker && index >= 0 && index < view->FPicker->Count();
        if (known)
            record = view->FPicker->Record(index);
        DrawPortItem(item->hDC, item->rcItem, known ? &record : nullptr, (item->itemState & ODS_SELECTED) != 0);
        return TRUE;
    }
    return DefSubclassProc(Wnd, Msg, WParam, LParam);
} catch (...) {
    return 0;
}

LRESULT CALLBACK TPortsComboBoxView::NotifyProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) try {
    if (Msg == PortStateChanged) {
        if (auto* view = reinterpret_cast<TPortsComboBoxView*>(GetWindowLongPtrA(Wnd, GWLP_USERDATA)))
            view->Invalidate();
        return 0;
    }
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
} catch (...) {
    return 0;
}

void TPortsComboBoxView::Clear() { SendMessageA(FCombo, CB_RESETCONTENT, 0, 0); }

void TPortsComboBoxView::Add(const std::string& Text) {
    SendMessageA(FCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text.c_str()));
}

int TPortsComboBoxView::ItemIndex() const { return static_cast<int>(SendMessageA(FCombo, CB_GETCURSEL, 0, 0)); }

void TPortsComboBoxView::SetItemIndex(int Index) { SendMessageA(FCombo, CB_SETCURSEL, static_cast<WPARAM>(Index), 0); }

void TPortsComboBoxView::Invalidate() {
    InvalidateRect(FCombo, nullptr, TRUE);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(FCombo, &info) && info.hwndList)
        InvalidateRect(info.hwndList, nullptr, TRUE);
}
