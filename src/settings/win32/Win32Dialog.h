// Dialogs built in code: a modal dialog or a child page from an empty in-memory template, sized
// in pixels, whose controls are created by the subclass in the dialog's own font. The dialog
// manager gives them keyboard navigation in creation order; hints are tooltips.
#pragma once

#include "framework/uCommonUtils.h"

#include <commctrl.h>

#include <map>

class TWin32Dialog {
public:
    virtual ~TWin32Dialog();
    TWin32Dialog(const TWin32Dialog&) = delete;
    TWin32Dialog& operator=(const TWin32Dialog&) = delete;

    // Runs the dialog modally with no owner window, the other windows of the thread disabled
    // until it ends; the code it ended with.
    INT_PTR ShowModal();
    // Makes the dialog a child page of Parent, hidden, at (0, 0).
    HWND CreateChild(HWND Parent);
    HWND Handle() const noexcept { return FHandle; }
    LONG ClientWidth() const noexcept { return FClientWidth; }
    LONG ClientHeight() const noexcept { return FClientHeight; }

    // The hint of a control of any of our dialogs; empty when it has none.
    static WString HintOf(HWND Control);
    // The help context of a control (0 when it has none).
    static LONG HelpContextOf(HWND Control);

protected:
    TWin32Dialog(WString Caption, LONG ClientWidth, LONG ClientHeight);

    // Creates the controls; runs when the window exists.
    virtual void OnCreate() = 0;
    virtual bool OnCommand(int Id, int Code, HWND Control);
    virtual bool OnNotify(NMHDR* Header, LRESULT& Result);
    // Any other message; true when handled, with the dialog procedure's answer.
    virtual bool OnMessage(UINT Msg, WPARAM WParam, LPARAM LParam, INT_PTR& Result);
    // The dialog is asked to end with IDOK or IDCANCEL; true lets it end.
    virtual bool CanClose(int Code);

    HWND Add(const wchar_t* ClassName, const WString& Text, DWORD Style, int X, int Y, int Width, int Height,
             int Id = 0, DWORD ExStyle = 0);
    HWND AddLabel(const char* Utf8, int X, int Y, int Width, int Height, DWORD Style = 0);
    HWND AddButton(const char* Utf8, int X, int Y, int Width, int Height, int Id, DWORD Style = 0);
    void SetHint(HWND Control, const WString& Hint);
    void SetHelpContext(HWND Control, LONG Context);
    void SetClientSize(LONG Width, LONG Height);
    void CenterOnScreen();
    void End(int Code);

    HFONT Font() const noexcept { return FFont; }
    HFONT BoldFont() const noexcept { return FBold; }
    DWORD FStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    DWORD FExStyle = WS_EX_DLGMODALFRAME;
    WString FCaption;
    HWND FHandle = nullptr;

private:
    class TOtherWindowsDisabled;
    static INT_PTR CALLBACK DialogProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
    std::vector<WORD> Template(DWORD Style) const;

    LONG FClientWidth;
    LONG FClientHeight;
    bool FChild = false;
    HFONT FFont = nullptr;
    HFONT FBold = nullptr;
    HWND FToolTip = nullptr;
    TOtherWindowsDisabled* FOthers = nullptr; // while the dialog runs modally
};

// A text of ours (UTF-8) as the API takes it.
inline WString T(const char* Utf8) {
    return Utf8ToWide(Utf8);
}
