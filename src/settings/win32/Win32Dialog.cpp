// Dialogs built in code.
#include "settings/win32/Win32Dialog.h"

#include <mutex>

namespace {

// Hints and help contexts of the controls of every open dialog of the process, each with the
// dialog that set it: they go when that dialog's window does, so that a handle value the system
// hands out again never finds an old entry. One user interface thread at a time opens our
// dialogs; the lock only keeps the map whole.
struct TControlData {
    HWND Dialog = nullptr;
    WString Hint;
    LONG HelpContext = 0;
};
std::mutex ControlDataLock;
std::map<HWND, TControlData>& ControlData() {
    static std::map<HWND, TControlData> data;
    return data;
}

void Put(std::vector<WORD>& t, const WString& text) {
    for (WCHAR c : text)
        t.push_back(static_cast<WORD>(c));
    t.push_back(0);
}

void ForgetControlsOf(HWND dialog) {
    std::lock_guard<std::mutex> guard(ControlDataLock);
    for (auto it = ControlData().begin(); it != ControlData().end();)
        it = it->second.Dialog == dialog ? ControlData().erase(it) : std::next(it);
}

} // namespace

// While a modal dialog runs, the other windows of its thread take no input: the settings window
// behind a nested dialog must not be confirmed, cancelled or asked for a second dialog.
class TWin32Dialog::TOtherWindowsDisabled {
public:
    TOtherWindowsDisabled() { EnumThreadWindows(GetCurrentThreadId(), &Disable, reinterpret_cast<LPARAM>(this)); }
    ~TOtherWindowsDisabled() { Enable(); }
    TOtherWindowsDisabled(const TOtherWindowsDisabled&) = delete;
    TOtherWindowsDisabled& operator=(const TOtherWindowsDisabled&) = delete;

    // Before the dialog goes, so that the window behind it takes the activation back.
    void Enable() {
        for (HWND window : FWindows)
            if (IsWindow(window))
                EnableWindow(window, TRUE);
        FWindows.clear();
    }

private:
    static BOOL CALLBACK Disable(HWND Window, LPARAM Self) try {
        if (IsWindowVisible(Window) && IsWindowEnabled(Window)) {
            reinterpret_cast<TOtherWindowsDisabled*>(Self)->FWindows.push_back(Window);
            EnableWindow(Window, FALSE);
        }
        return TRUE;
    } catch (...) {
        return FALSE;
    }

    std::vector<HWND> FWindows;
};

TWin32Dialog::TWin32Dialog(WString Caption, LONG ClientWidth, LONG ClientHeight)
    : FCaption(std::move(Caption)), FClientWidth(ClientWidth), FClientHeight(ClientHeight) {
    // Tahoma 8 points, as the forms were laid out.
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    FFont = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma");
    FBold = CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma");
}

TWin32Dialog::~TWin32Dialog() {
    // A window that is gone has cleared its handles (WM_NCDESTROY): a handle value kept here
    // could name someone else's window by now.
    if (FHandle && FChild)
        DestroyWindow(FHandle);
    DeleteObject(FFont);
    DeleteObject(FBold);
}

std::vector<WORD> TWin32Dialog::Template(DWORD Style) const {
    // DLGTEMPLATE, no menu, the standard class, the caption and the font; no items.
    std::vector<WORD> t;
    const DWORD style = Style | DS_SETFONT;
    t.push_back(LOWORD(style));
    t.push_back(HIWORD(style));
    t.push_back(LOWORD(FExStyle));
    t.push_back(HIWORD(FExStyle));
    t.push_back(0); // items
    for (int i = 0; i < 4; ++i)
        t.push_back(0); // x, y, cx, cy: sized in pixels once it exists
    t.push_back(0);     // menu
    t.push_back(0);     // class
    Put(t, FCaption);
    t.push_back(8);
    Put(t, L"Tahoma");
    return t;
}

INT_PTR TWin32Dialog::ShowModal() {
    const std::vector<WORD> t = Template(FStyle);
    TOtherWindowsDisabled others;
    FOthers = &others;
    const INT_PTR code = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(t.data()),
                                                 nullptr, &TWin32Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
    FOthers = nullptr;
    return code;
}

HWND TWin32Dialog::CreateChild(HWND Parent) {
    FChild = true;
    FExStyle = WS_EX_CONTROLPARENT;
    const std::vector<WORD> t = Template(WS_CHILD | DS_CONTROL);
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(t.data()), Parent,
                                      &TWin32Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK TWin32Dialog::DialogProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) try {
    TWin32Dialog* self;
    if (Msg == WM_INITDIALOG) {
        self = reinterpret_cast<TWin32Dialog*>(LParam);
        SetWindowLongPtrW(Window, DWLP_USER, LParam);
        self->FHandle = Window;
        self->SetClientSize(self->FClientWidth, self->FClientHeight);
        if (!self->FChild)
            self->CenterOnScreen();
        // A failure while the controls are made must not cross the system's dialog procedure.
        try {
            self->OnCreate();
        } catch (...) {
            if (!self->FChild)
                self->End(IDCANCEL);
        }
        // A dialog that put the focus somewhere itself keeps it there.
        HWND focus = GetFocus();
        return focus && IsChild(Window, focus) ? FALSE : TRUE;
    }
    self = reinterpret_cast<TWin32Dialog*>(GetWindowLongPtrW(Window, DWLP_USER));
    if (!self)
        return FALSE;
    if (Msg == WM_NCDESTROY) {
        ForgetControlsOf(Window);
        if (self->FToolTip && IsWindow(self->FToolTip))
            DestroyWindow(self->FToolTip);
        self->FToolTip = nullptr;
        self->FHandle = nullptr;
        SetWindowLongPtrW(Window, DWLP_USER, 0);
        return FALSE;
    }
    try {
        switch (Msg) {
        case WM_COMMAND: {
            const int id = LOWORD(WParam);
            if (self->OnCommand(id, HIWORD(WParam), reinterpret_cast<HWND>(LParam)))
                return TRUE;
            if (!self->FChild && (id == IDOK || id == IDCANCEL)) {
                if (self->CanClose(id))
                    self->End(id);
                return TRUE;
            }
            return FALSE;
        }
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (self->OnNotify(reinterpret_cast<NMHDR*>(LParam), result)) {
                SetWindowLongPtrW(Window, DWLP_MSGRESULT, result);
                return TRUE;
            }
            return FALSE;
        }
        default: {
            INT_PTR result = FALSE;
            return self->OnMessage(Msg, WParam, LParam, result) ? result : FALSE;
        }
        }
    } catch (...) {
        // The user's action failed half way; the dialog stays as it is.
        return FALSE;
    }
} catch (...) {
    return FALSE;
}

bool TWin32Dialog::OnCommand(int, int, HWND) {
    return false;
}
bool TWin32Dialog::OnNotify(NMHDR*, LRESULT&) {
    return false;
}
bool TWin32Dialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) {
    return false;
}
bool TWin32Dialog::CanClose(int) {
    return true;
}

void TWin32Dialog::End(int Code) {
    if (FOthers)
        FOthers->Enable();
    EndDialog(FHandle, Code);
}

HWND TWin32Dialog::Add(const wchar_t* ClassName, const WString& Text, DWORD Style, int X, int Y, int Width,
                       int Height, int Id, DWORD ExStyle) {
    HWND control = CreateWindowExW(ExStyle, ClassName, Text.c_str(), WS_CHILD | WS_VISIBLE | Style, X, Y, Width, Height,
                                   FHandle, reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id)),
                                   GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FFont), FALSE);
    return control;
}

HWND TWin32Dialog::AddLabel(const char* Utf8, int X, int Y, int Width, int Height, DWORD Style) {
    return Add(L"STATIC", T(Utf8), SS_LEFT | Style, X, Y, Width, Height);
}

HWND TWin32Dialog::AddButton(const char* Utf8, int X, int Y, int Width, int Height, int Id, DWORD Style) {
    return Add(L"BUTTON", T(Utf8), WS_TABSTOP | Style, X, Y, Width, Height, Id);
}

void TWin32Dialog::SetHint(HWND Control, const WString& Hint) {
    {
        std::lock_guard<std::mutex> guard(ControlDataLock);
        TControlData& data = ControlData()[Control];
        data.Dialog = FHandle;
        data.Hint = Hint;
    }
    if (!FToolTip) {
        FToolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, FHandle, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        SendMessageW(FToolTip, TTM_SETMAXTIPWIDTH, 0, 400);
    }
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = FHandle;
    tool.uId = reinterpret_cast<UINT_PTR>(Control);
    tool.lpszText = const_cast<LPWSTR>(Hint.c_str());
    SendMessageW(FToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TWin32Dialog::SetHelpContext(HWND Control, LONG Context) {
    std::lock_guard<std::mutex> guard(ControlDataLock);
    TControlData& data = ControlData()[Control];
    data.Dialog = FHandle;
    data.HelpContext = Context;
}

WString TWin32Dialog::HintOf(HWND Control) {
    std::lock_guard<std::mutex> guard(ControlDataLock);
    auto it = ControlData().find(Control);
    return it == ControlData().end() ? WString() : it->second.Hint;
}

LONG TWin32Dialog::HelpContextOf(HWND Control) {
    std::lock_guard<std::mutex> guard(ControlDataLock);
    auto it = ControlData().find(Control);
    return it == ControlData().end() ? 0 : it->second.HelpContext;
}

void TWin32Dialog::SetClientSize(LONG Width, LONG Height) {
    FClientWidth = Width;
    FClientHeight = Height;
    RECT r{0, 0, Width, Height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(FHandle, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(FHandle, GWL_EXSTYLE)));
    SetWindowPos(FHandle, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWin32Dialog::CenterOnScreen() {
    RECT r;
    GetWindowRect(FHandle, &r);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
    SetWindowPos(FHandle, nullptr, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
