// The control interfaces of the forms' logic over real Win32 controls. Each wraps a handle that
// the view sets once the control exists.
#pragma once

#include "settings/uSettingsControls.h"
#include "settings/win32/Win32Dialog.h"

#include <vector>

WString WindowText(HWND Window);

// A radio button that, while disabled, draws its caption over the whole width it has: the system's
// own disabled drawing clips it to the width the caption measures, and its last letters are lost.
void DrawDisabledRadioInFull(HWND Button);

// Gives a window another procedure and returns the one it had. The procedure passes as a WNDPROC,
// so the compiler checks its signature and calling convention.
WNDPROC SubclassWindow(HWND Window, WNDPROC Proc);

class TEditControl : public ITextEdit {
public:
    HWND Handle = nullptr;
    WString Text() const override { return WindowText(Handle); }
    void SetText(const WString& Text) override { SetWindowTextW(Handle, Text.c_str()); }
    void Focus() override { SetFocus(Handle); }
};

class TComboControl : public IDropDown {
public:
    HWND Handle = nullptr;
    int Count() const override;
    WString Item(int Index) const override;
    int ItemIndex() const override;
    void SetItemIndex(int Index) override;
    void AddItem(const WString& Text);
};

class TCheckControl : public ICheckBox {
public:
    HWND Handle = nullptr;
    bool Checked() const override { return SendMessageW(Handle, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void SetChecked(bool On) override { SendMessageW(Handle, BM_SETCHECK, On ? BST_CHECKED : BST_UNCHECKED, 0); }
};

class TWindowState : public IControlState {
public:
    HWND Handle = nullptr;
    bool Enabled() const override { return IsWindowEnabled(Handle) != FALSE; }
    void SetEnabled(bool On) override { EnableWindow(Handle, On ? TRUE : FALSE); }
    void SetVisible(bool On) override { ShowWindow(Handle, On ? SW_SHOW : SW_HIDE); }
};

// A menu item of a popup menu built when it opens: the flags are read then.
class TMenuItemState : public IControlState {
public:
    bool IsEnabled = true;
    bool IsVisible = true;
    bool Enabled() const override { return IsEnabled; }
    void SetEnabled(bool On) override { IsEnabled = On; }
    void SetVisible(bool On) override { IsVisible = On; }
};

class TProgressControl : public IProgressBar {
public:
    HWND Handle = nullptr;
    void SetPosition(int Position) override;
    void SetVisible(bool On) override { ShowWindow(Handle, On ? SW_SHOW : SW_HIDE); }
};
