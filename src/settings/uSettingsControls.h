// The seams between a form's logic and its view. The logic of every settings form is written
// against these small interfaces; the Win32 views implement them over real controls, and the
// unit tests over controls held in memory.
#pragma once

#include "framework/uCommonUtils.h"

// What a form needs from the desktop around it: message boxes and the cursor.
class ISettingsUI {
public:
    virtual ~ISettingsUI() = default;
    // Error box with one OK button.
    virtual void ShowError(const WString& Text) = 0;
    // Information box with one OK button.
    virtual void ShowInfo(const WString& Text) = 0;
    // Warning box with Yes and No; true only for Yes.
    virtual bool Confirm(const WString& Question) = 0;
    // The hourglass while the printer works; calls nest.
    virtual void SetWaitCursor(bool Wait) = 0;
    // Whether the current user may close the shift (a member of the local administrators).
    virtual bool UserIsAdministrator() = 0;
};

class ITextEdit {
public:
    virtual ~ITextEdit() = default;
    virtual WString Text() const = 0;
    virtual void SetText(const WString& Text) = 0;
    virtual void Focus() = 0;
};

// A drop-down list that cannot be typed into.
class IDropDown {
public:
    virtual ~IDropDown() = default;
    virtual int Count() const = 0;
    virtual WString Item(int Index) const = 0;
    virtual int ItemIndex() const = 0; // -1: nothing selected
    virtual void SetItemIndex(int Index) = 0;
    WString Text() const {
        const int i = ItemIndex();
        return i >= 0 && i < Count() ? Item(i) : WString();
    }
};

class ICheckBox {
public:
    virtual ~ICheckBox() = default;
    virtual bool Checked() const = 0;
    virtual void SetChecked(bool Checked) = 0;
};

// A control or menu item that can be switched off (and hidden, where that makes sense).
class IControlState {
public:
    virtual ~IControlState() = default;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool Enabled) = 0;
    virtual void SetVisible(bool Visible) = 0;
};

// The serial port choice of the fiscal page.
class IPortPicker {
public:
    virtual ~IPortPicker() = default;
    // -1 when nothing is selected.
    virtual LONG GetPortNumber() const = 0;
    // Selects the port, adding it when the system does not list it; nothing outside 1 to 255.
    virtual void SetPortNumber(LONG Number) = 0;
};

class IProgressBar {
public:
    virtual ~IProgressBar() = default;
    virtual void SetPosition(int Position) = 0;
    virtual void SetVisible(bool Visible) = 0;
};

// A grid of text cells, addressed by column and row.
class IGrid {
public:
    virtual ~IGrid() = default;
    virtual WString Cell(int Column, int Row) const = 0;
    virtual void SetCell(int Column, int Row, const WString& Text) = 0;
    // The focus on a cell, open for editing with what it holds.
    virtual void FocusCell(int Column, int Row) = 0;
};

// Shows the hourglass for as long as it lives.
class TWaitCursor {
public:
    explicit TWaitCursor(ISettingsUI& UI) : FUI(UI) { FUI.SetWaitCursor(true); }
    ~TWaitCursor() { FUI.SetWaitCursor(false); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;

private:
    ISettingsUI& FUI;
};
