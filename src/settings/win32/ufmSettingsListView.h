// The window of TfrmSettingsList: a virtual list view of every parameter with an edit box and a
// False/True drop-down that open over the value cell, the selected parameter's description, and
// the footer buttons.
#pragma once

#include "settings/ufmSettingsList.h"
#include "settings/win32/Win32Dialog.h"

#include <memory>

class TSettingsListWindow : public TWin32Dialog, public ISettingsListView {
public:
    explicit TSettingsListWindow(TBaseDevice& Device);
    ~TSettingsListWindow() override;

    // ISettingsListView
    int SelectedRow() const override;
    void RedrawRow(int Row) override;
    void RedrawAll() override;
    void SetStatus(const WString& Text) override;
    bool EditorVisible() const override;
    void ShowEdit(const WString& Text) override;
    void ShowCombo(int Index) override;
    WString EditText() const override;
    int ComboIndex() const override;
    void HideEditor() override;

protected:
    void OnCreate() override;
    bool OnCommand(int Id, int Code, HWND Control) override;
    bool OnNotify(NMHDR* Header, LRESULT& Result) override;

private:
    static LRESULT CALLBACK KeyProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
    void PlaceEditor(HWND Editor);
    HWND Editor() const;
    void OpenMenu();

    TBaseDevice& FDevice;
    TfrmSettingsList FLogic;
    HWND FList = nullptr, FStatus = nullptr, FEdit = nullptr, FCombo = nullptr;
    WNDPROC FListProc = nullptr, FEditProc = nullptr, FComboProc = nullptr;
    std::wstring FCellText; // the text handed to the list view for the cell it asked for
};
