// HTML Help and text popups.
#include "settings/win32/Win32Help.h"

#include "platform/PlatformExt.h"

namespace {

// The HTML Help control's popup record with wide texts, and the two commands used.
struct THHPopupW {
    int cbStruct;
    HINSTANCE hinst;
    UINT idString;
    LPCWSTR pszText;
    POINT pt;
    COLORREF clrForeground;
    COLORREF clrBackground;
    RECT rcMargins;
    LPCWSTR pszFont;
};
constexpr UINT HhDisplayTopic = 0x0000;
constexpr UINT HhDisplayTextPopup = 0x000E;

using THtmlHelpW = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

THtmlHelpW HtmlHelpEntry() {
    static THtmlHelpW entry = [] {
        HMODULE module = platform::LoadSystemLibrary(L"hhctrl.ocx");
        return module ? reinterpret_cast<THtmlHelpW>(reinterpret_cast<void*>(GetProcAddress(module, "HtmlHelpW")))
                      : nullptr;
    }();
    return entry;
}

constexpr COLORREF PopupBackground = RGB(255, 255, 238);
constexpr COLORREF PopupText = RGB(0, 0, 0);
constexpr int PopupMargin = 5;
constexpr int PopupMaxWidth = 360;
constexpr UINT_PTR PopupTimer = 1;
const wchar_t PopupClass[] = L"OrvelHelpPopup";

// The fallback popup: a bordered window in the popup's colours and margins that a click, a key or
// its timer closes. One at a time.
HWND popupWindow = nullptr;
WString popupText;

HFONT PopupFont() {
    static HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return font;
}

LRESULT CALLBACK PopupProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) try {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT r;
        GetClientRect(window, &r);
        HBRUSH brush = CreateSolidBrush(PopupBackground);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        r.left += PopupMargin;
        r.top += PopupMargin;
        r.bottom -= PopupMargin;
        HGDIOBJ old = SelectObject(dc, PopupFont());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, PopupText);
        DrawTextW(dc, popupText.c_str(), static_cast<int>(popupText.size()), &r, DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc, old);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_TIMER:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_KEYDOWN:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        if (popupWindow == window)
            popupWindow = nullptr;
        return 0;
    default:
        return DefWindowProcW(window, msg, wParam, lParam);
    }
} catch (...) {
    return 0;
}

void OwnPopup(HWND owner, const WString& text, POINT at) {
    static const ATOM registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &PopupProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
        wc.lpszClassName = PopupClass;
        return RegisterClassW(&wc);
    }();
    if (!registered)
        return;
    if (popupWindow)
        DestroyWindow(popupWindow);
    popupText = text;
    // The text's size in the popup's font, wrapped at the widest line a popup takes.
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, PopupFont());
    RECT size{0, 0, PopupMaxWidth, 0};
    DrawTextW(screen, popupText.c_str(), static_cast<int>(popupText.size()), &size,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    // A glyph may reach past the advance the measure counts: a little room for the last one.
    constexpr int Overhang = 3;
    RECT outer{0, 0, size.right + 2 * PopupMargin + Overhang, size.bottom + 2 * PopupMargin};
    AdjustWindowRectEx(&outer, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    popupWindow = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, PopupClass, L"", WS_POPUP | WS_BORDER, at.x, at.y,
                                  outer.right - outer.left, outer.bottom - outer.top, owner, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!popupWindow)
        return;
    ShowWindow(popupWindow, SW_SHOWNOACTIVATE);
    SetTimer(popupWindow, PopupTimer, 8000, nullptr);
}

} // namespace

void OpenHelpFile(HWND Owner, const std::string& HelpFile) {
    if (THtmlHelpW help = HtmlHelpEntry())
        help(Owner, AnsiToWide(HelpFile).c_str(), HhDisplayTopic, 0);
}

void ShowHelpPopupWindow(HWND Owner, const THelpPopup& Popup) {
    THHPopupW popup{};
    popup.cbStruct = sizeof popup;
    popup.pt.x = Popup.At.X;
    popup.pt.y = Popup.At.Y;
    popup.clrForeground = PopupText;
    popup.clrBackground = PopupBackground;
    popup.rcMargins = RECT{5, 5, 5, 5};
    popup.pszFont = nullptr;
    WString file;
    if (Popup.FromHelpFile) {
        popup.idString = static_cast<UINT>(Popup.Topic);
        file = AnsiToWide(Popup.HelpFile);
    } else {
        popup.pszText = Popup.Text.c_str();
    }
    THtmlHelpW help = HtmlHelpEntry();
    if (help && help(Owner, Popup.FromHelpFile ? file.c_str() : nullptr, HhDisplayTextPopup,
                     reinterpret_cast<DWORD_PTR>(&popup)))
        return;
    // Without the HTML Help control a text popup can still be shown.
    if (!Popup.FromHelpFile)
        OwnPopup(Owner, Popup.Text, POINT{Popup.At.X, Popup.At.Y});
}
