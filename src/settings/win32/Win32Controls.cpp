// The control interfaces over Win32 controls.
#include "settings/win32/Win32Controls.h"


WString WindowText(HWND Window) {
    const int length = GetWindowTextLengthW(Window);
    WString text(static_cast<std::size_t>(length) + 1, u'\0');
    const int read = GetWindowTextW(Window, reinterpret_cast<LPWSTR>(&text[0]), length + 1);
    text.resize(static_cast<std::size_t>(read < 0 ? 0 : read));
    return text;
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
