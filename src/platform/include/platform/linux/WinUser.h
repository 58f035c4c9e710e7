// Windows, activation and messages: the user32 subset the driver uses to keep the host's window
// disabled under its own dialogs, and just enough around it (window classes, creation) for
// tests to make windows and watch what reaches them. There is no screen: a window is a handle
// with a window procedure and an enabled flag; the process has one foreground window and one
// focus, as the one desktop of a Windows session has.
#pragma once

#include "WinTypes.h"

#define WINUSERAPI extern "C" PLATFORM_API

using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using ATOM = WORD;
struct HMENU__;
using HMENU = HMENU__*;
struct HICON__;
using HICON = HICON__*;
using HCURSOR = HICON;
struct HBRUSH__;
using HBRUSH = HBRUSH__*;

using WNDPROC = LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

#define WM_DESTROY 0x0002
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_ENABLE 0x000A

#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CAPTION 0x00C00000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_OVERLAPPEDWINDOW \
    (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define CW_USEDEFAULT ((int)0x80000000)

#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#define ERROR_CLASS_ALREADY_EXISTS 1410L
#define ERROR_CLASS_DOES_NOT_EXIST 1411L

// Class names compare without regard to case. The system's own classes (STATIC, BUTTON, EDIT,
// LISTBOX, COMBOBOX) exist without registration and answer with DefWindowProcA.
WINUSERAPI ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass);
WINUSERAPI BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE hInstance);

// A window starts enabled unless WS_DISABLED is given; creation neither activates nor focuses it.
WINUSERAPI HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                                       int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                                       HINSTANCE hInstance, LPVOID lpParam);
// Sends WM_DESTROY; the foreground and the focus are lost with the window.
WINUSERAPI BOOL WINAPI DestroyWindow(HWND hWnd);
WINUSERAPI BOOL WINAPI IsWindow(HWND hWnd);

WINUSERAPI BOOL WINAPI IsWindowEnabled(HWND hWnd);
// Nonzero when the window was disabled before. A change sends WM_ENABLE; disabling the window
// that has the focus takes the focus away (WM_KILLFOCUS).
WINUSERAPI BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable);

// Null when no window is in the foreground.
WINUSERAPI HWND WINAPI GetForegroundWindow();
WINUSERAPI HWND WINAPI GetFocus();
// Activates the window and gives it the focus: WM_KILLFOCUS to the window that had it, then
// WM_SETFOCUS with that window's handle. Nothing is sent when it is already in the foreground.
WINUSERAPI BOOL WINAPI SetForegroundWindow(HWND hWnd);

// Calls the window procedure at once and returns its answer; 0 for a handle that is no window.
WINUSERAPI LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
WINUSERAPI LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
#define SendMessage SendMessageA
#define DefWindowProc DefWindowProcA
