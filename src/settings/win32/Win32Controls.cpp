// The control interfaces over Win32 controls.
#include "settings/win32/Win32Controls.h"


WString WindowText(HWND Window) {
    const int length = GetWindowTextLengthW(Window);
    WString text(static_cast<std::size_t>(length) + 1, u'\0');
    const int read = GetWindowTextW(Window, reinterpret_cast<LPWSTR>(&text[0]), length + 1);
    text.resize(static_cast<std::size_t>(read < 0 ? 0 : read));
    return text;
}

WNDPROC SubclassWindow(HWND Window, WNDPROC Proc) {
    return reinterpret_cast<WNDPROC>(SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
}

namespace {

const wchar_t RadioProcProperty[] = L"OrvelRadioProc";

void PaintDisabledRadio(HWND button, HDC dc) {
    RECT client;
    GetClientRect(button, &client);
    HBRUSH background = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(button), WM_CTLCOLORSTATIC,
                                                              reinterpret_cast<WPARAM>(dc),
                                                              reinterpret_cast<LPARAM>(button)));
    FillRect(dc, &client, background ? background : GetSysColorBrush(COLOR_BTNFACE));
    constexpr int Glyph = 13;
    RECT glyph{0, (client.bottom - Glyph) / 2, Glyph, (client.bottom - Glyph) / 2 + Glyph};
    const bool checked = SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
    DrawFrameControl(dc, &glyph, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_INACTIVE | (checked ? DFCS_CHECKED : 0));
    const WString caption = WindowText(button);
    HGDIOBJ font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
    const int left = Glyph + 4;
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(caption.c_str()), static_cast<WPARAM>(caption.size()),
               left, (client.bottom - size.cy) / 2, client.right - left, size.cy, DST_TEXT | DSS_DISABLED);
    SelectObject(dc, font);
}

LRESULT CALLBACK DisabledRadioProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) try {
    const auto old = reinterpret_cast<WNDPROC>(GetPropW(Window, RadioProcProperty));
    switch (Msg) {
    case WM_PAINT:
        if (!IsWindowEnabled(Window)) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(Window, &ps);
            PaintDisabledRadio(Window, dc);
            EndPaint(Window, &ps);
            return 0;
        }
        break;
    case BM_SETCHECK:
    case WM_ENABLE: {
        // The button draws itself at once on these; ours follows.
        const LRESULT result = CallWindowProcW(old, Window, Msg, WParam, LParam);
        InvalidateRect(Window, nullptr, TRUE);
        return result;
    }
    case WM_NCDESTROY:
        RemovePropW(Window, RadioProcProperty);
        SubclassWindow(Window, old);
        break;
    default:
        break;
    }
    return CallWindowProcW(old, Window, Msg, WParam, LParam);
} catch (...) {
    return 0;
}

} // namespace

void DrawDisabledRadioInFull(HWND Button) {
    SetPropW(Button, RadioProcProperty, reinterpret_cast<HANDLE>(GetWindowLongPtrW(Button, GWLP_WNDPROC)));
    SubclassWindow(Button, &DisabledRadioProc);
}

int TComboControl::Count() const {
    return static_cast<int>(SendMessageW(Handle, CB_GETCOUNT, 0, 0));
}

WString TComboControl::Item(int Index) const {
    const LRESULT length = SendMessageW(Handle, CB_GETLBTEXTLEN, static_cast<WPARAM>(Index), 0);
    if (length == CB_ERR)
        return {};
    WString text(static_cast<std::size_t>(length) + 1, u'\0');
    SendMessageW(Handle, CB_GETLBTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

int TComboControl::ItemIndex() const {
    const LRESULT index = SendMessageW(Handle, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void TComboControl::SetItemIndex(int Index) {
    SendMessageW(Handle, CB_SETCURSEL, static_cast<WPARAM>(Index), 0);
}

void TComboControl::AddItem(const WString& Text) {
    SendMessageW(Handle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text.c_str()));
}

void TProgressControl::SetPosition(int Position) {
    SendMessageW(Handle, PBM_SETPOS, static_cast<WPARAM>(Position), 0);
    // The bar moves while the printer works and no message is pumped.
    UpdateWindow(Handle);
}
