// HTML Help and text popups.
#include "settings/win32/Win32Help.h"

#include <commctrl.h>

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
        HMODULE module = LoadLibraryW(L"hhctrl.ocx");
        return module ? reinterpret_cast<THtmlHelpW>(reinterpret_cast<void*>(GetProcAddress(module, "HtmlHelpW")))
                      : nullptr;
    }();
    return entry;
}

constexpr COLORREF PopupBackground = RGB(255, 255, 238);
constexpr COLORREF PopupText = RGB(0, 0, 0);
constexpr UINT_PTR PopupTimer = 0x4F52;

// The fallback popup: one tooltip for the process, shown at a point until its timer ends.
HWND tip = nullptr;
TTTOOLINFOW tool{};
WString shown;

void CALLBACK HidePopup(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    if (tip && IsWindow(tip))
        SendMessageW(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

// A tooltip at a point that goes away by itself.
void TooltipPopup(HWND owner, const WString& text, POINT at) {
    if (!tip || !IsWindow(tip)) {
        tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
        tool.hwnd = owner;
        tool.uId = 1;
        tool.lpszText = const_cast<LPWSTR>(L"");
        SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 360);
        SendMessageW(tip, TTM_SETTIPBKCOLOR, PopupBackground, 0);
        SendMessageW(tip, TTM_SETTIPTEXTCOLOR, PopupText, 0);
    }
    shown = text;
    tool.lpszText = const_cast<LPWSTR>(shown.c_str());
    SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
    SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    SetTimer(owner, PopupTimer, 6000, &HidePopup);
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
        TooltipPopup(Owner, Popup.Text, POINT{Popup.At.X, Popup.At.Y});
}
