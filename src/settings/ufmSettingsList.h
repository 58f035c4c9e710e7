// TfrmSettingsList: every parameter of the device in one list, with its current and default
// value, edited in place. The list works on the parameter table directly; the shell backs the
// table up before and restores it when the list is cancelled. This is the form's logic; its
// window is a view behind ISettingsListView.
#pragma once

#include "device/uBaseDevice.h"

// Keys the list and its editors act on (the virtual-key codes).
enum : WORD { KeyEnter = 0x0D, KeyEscape = 0x1B, KeyF2 = 0x71 };

class ISettingsListView {
public:
    virtual ~ISettingsListView() = default;
    virtual int SelectedRow() const = 0; // -1: none
    virtual void RedrawRow(int Row) = 0;
    virtual void RedrawAll() = 0;
    virtual void SetStatus(const WString& Text) = 0;
    virtual bool EditorVisible() const = 0;
    // The edit box, or the False/True drop-down, over the value cell of the focused row.
    virtual void ShowEdit(const WString& Text) = 0;
    virtual void ShowCombo(int Index) = 0;
    virtual WString EditText() const = 0;
    virtual int ComboIndex() const = 0;
    // Hides the editor in use and gives the focus to the list.
    virtual void HideEditor() = 0;
};

class TfrmSettingsList {
public:
    enum TEditor { edEdit, cbEdit };

    TfrmSettingsList(TBaseDevice& Device, ISettingsListView& View) : FDevice(&Device), FView(View) {}

    int RowCount() const { return static_cast<int>(FDevice->GetParamCount()); }
    // Caption, value and default of row Row as text (columns 0, 1, 2).
    WString CellText(int Row, int Column) const;
    TEditor Editor() const noexcept { return FEditor; }

    void BeginEdit();
    void EndEdit(bool Discard);

    // Events.
    void lvSettingsChange();
    void lvSettingsDblClick() { BeginEdit(); }
    void lvSettingsKeyDown(WORD Key);
    void edEditKeyDown(WORD Key);
    void edEditExit() { EndEdit(false); }
    void btnDefaultClick();
    void miEditClick() { BeginEdit(); }
    void miDefaultClick();

    // Variant to text as the list shows it: Empty is empty, Booleans are True or False.
    static WString ValueText(const Variant& Value);

private:
    TSettingStruct* Selected() const;

    TBaseDevice* FDevice;
    TEditor FEditor = edEdit;
    // The row the editor was opened on: by the time a change of selection ends the edit, the
    // list already points at the new row.
    int FEditRow = -1;
    ISettingsListView& FView;
};
