// Windows without a screen: handles with a window procedure and an enabled flag, one foreground
// window and one focus for the process. Messages are delivered by calling the procedure with no
// lock held, so a procedure may call back into any of these functions.
#include <strings.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "platform/Platform.h"

namespace {

struct WindowClass {
    std::string name;
    WNDPROC proc = nullptr;
};

struct Window {
    WNDPROC proc = nullptr;
    bool enabled = true;
};

struct CaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const { return strcasecmp(a.c_str(), b.c_str()) < 0; }
};

struct Desktop {
    std::mutex lock;
    std::map<std::string, WNDPROC, CaseInsensitiveLess> classes;
    std::map<HWND, Window> windows;
    std::uintptr_t nextHandle = 0x10040;
    ATOM nextAtom = 0xC000;
    HWND foreground = nullptr;
    HWND focus = nullptr;
};

Desktop& TheDesktop() {
    static Desktop desktop;
    return desktop;
}

bool IsSystemClass(const char* name) {
    for (const char* system : {"STATIC", "BUTTON", "EDIT", "LISTBOX", "COMBOBOX"})
        if (strcasecmp(name, system) == 0)
            return true;
    return false;
}

// The procedure of a live window, or null (and the last error set) for anything else.
WNDPROC ProcOf(Desktop& d, HWND hWnd) {
    auto it = d.windows.find(hWnd);
    if (it == d.windows.end()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return it->second.proc;
}

LRESULT Deliver(WNDPROC proc, HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return proc ? proc(hWnd, msg, wParam, lParam) : 0;
}

} // namespace

extern "C" {

PLATFORM_API ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
    if (!lpWndClass || !lpWndClass->lpszClassName || !lpWndClass->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Desktop& d = TheDesktop();
    std::lock_guard<std::mutex> guard(d.lock);
    if (!d.classes.emplace(lpWndClass->lpszClassName, lpWndClass->lpfnWndProc).second) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    return d.nextAtom++;
}

PLATFORM_API BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE) {
    Desktop& d = TheDesktop();
    std::lock_guard<std::mutex> guard(d.lock);
    if (!lpClassName || d.classes.erase(lpClassName) == 0) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    return TRUE;
}

PLATFORM_API HWND WINAPI CreateWindowExA(DWORD, LPCSTR lpClassName, LPCSTR, DWORD dwStyle, int, int, int, int, HWND,
                                         HMENU, HINSTANCE, LPVOID) {
    Desktop& d = TheDesktop();
    std::lock_guard<std::mutex> guard(d.lock);
    Window window;
    window.enabled = (dwStyle & WS_DISABLED) == 0;
    auto cls = lpClassName ? d.classes.find(lpClassName) : d.classes.end();
    if (cls != d.classes.end()) {
        window.proc = cls->second;
    } else if (lpClassName && IsSystemClass(lpClassName)) {
        window.proc = &DefWindowProcA;
    } else {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    HWND handle = reinterpret_cast<HWND>(d.nextHandle);
    d.nextHandle += 4;
    d.windows.emplace(handle, window);
    return handle;
}

PLATFORM_API BOOL WINAPI DestroyWindow(HWND hWnd) {
    Desktop& d = TheDesktop();
    WNDPROC proc;
    {
        std::lock_guard<std::mutex> guard(d.lock);
        if (!(proc = ProcOf(d, hWnd)))
            return FALSE;
    }
    Deliver(proc, hWnd, WM_DESTROY, 0, 0);
    std::lock_guard<std::mutex> guard(d.lock);
    d.windows.erase(hWnd);
    if (d.foreground == hWnd)
        d.foreground = nullptr;
    if (d.focus == hWnd)
        d.focus = nullptr;
    return TRUE;
}

PLATFORM_API BOOL WINAPI IsWindow(HWND hWnd) {
    Desktop& d = TheDesktop();
    std::lock_guard<std::mutex> guard(d.lock);
    return d.windows.count(hWnd) ? TRUE : FALSE;
}

PLATFORM_API BOOL WINAPI IsWindowEnabled(HWND hWnd) {
    Desktop& d = TheDesktop();
    std::lock_guard<std::mutex> guard(d.lock);
    auto it = d.windows.find(hWnd);
    return it != d.windows.end() && it->second.enabled ? TRUE : FALSE;
}

PLATFORM_API BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
    Desktop& d = TheDesktop();
    const bool enable = bEnable != FALSE;
    bool wasDisabled;
    bool loseFocus = false;
    WNDPROC proc;
    {
        std::lock_guard<std::mutex> guard(d.lock);
        auto it = d.windows.find(hWnd);
        if (it == d.windows.end()) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        wasDisabled = !it->second.enabled;
        if (wasDisabled != enable)
            return wasDisabled ? TRUE : FALSE;
        it->second.enabled = enable;
        proc = it->second.proc;
        if (!enable && d.focus == hWnd) {
            d.focus = nullptr;
            loseFocus = true;
        }
    }
    if (loseFocus)
        Deliver(proc, hWnd, WM_KILLFOCUS, 0, 0);
    Deliver(proc, hWnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled ? TRUE : FALSE;
}

PLATFORM_API HWND WINAPI GetForegroundWindow() {
    Desktop& d = TheDesktop();
    std::lock_guard<std::mutex> guard(d.lock);
    return d.foreground;
}

PLATFORM_API HWND WINAPI GetFocus() {
    Desktop& d = TheDesktop();
    std::lock_guard<std::mutex> guard(d.lock);
    return d.focus;
}

PLATFORM_API BOOL WINAPI SetForegroundWindow(HWND hWnd) {
    Desktop& d = TheDesktop();
    HWND previousFocus;
    WNDPROC proc, previousProc = nullptr;
    {
        std::lock_guard<std::mutex> guard(d.lock);
        if (!(proc = ProcOf(d, hWnd)))
            return FALSE;
        if (d.foreground == hWnd)
            return TRUE;
        d.foreground = hWnd;
        previousFocus = d.focus;
        d.focus = hWnd;
        if (previousFocus)
            previousProc = ProcOf(d, previousFocus);
    }
    if (previousFocus)
        Deliver(previousProc, previousFocus, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
    Deliver(proc, hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previousFocus), 0);
    return TRUE;
}

PLATFORM_API LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Desktop& d = TheDesktop();
    WNDPROC proc;
    {
        std::lock_guard<std::mutex> guard(d.lock);
        proc = ProcOf(d, hWnd);
    }
    return Deliver(proc, hWnd, Msg, wParam, lParam);
}

PLATFORM_API LRESULT WINAPI DefWindowProcA(HWND, UINT, WPARAM, LPARAM) { return 0; }

} // extern "C"
