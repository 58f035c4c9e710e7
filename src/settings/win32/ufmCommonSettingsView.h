// The window of TfrmCommonSettings: the coloured header with logo, driver name and version, the
// tabs of the pages and the information page, and the footer with the additional functions, OK
// and Cancel.
#pragma once

#include "settings/ufmCommonSettings.h"
#include "settings/win32/Win32Controls.h"
#include "settings/win32/Win32SettingsUI.h"

#include <memory>

class TCommonSettingsWindow : public TWin32Dialog, public ICommonSettingsView {
public:
    // HelpFolder: the driver library's folder (ANSI, with a trailing delimiter).
    TCommonSettingsWindow(TBaseDevice& Device, TWin32SettingsUI& UI, std::vector<TPageFactory> PageClasses,
                          std::string HelpFolder);
    ~TCommonSettingsWindow() override;

    TfrmCommonSettings* Logic() const noexcept { return FLogic.get(); }

    // ICommonSettingsView
    void AddTab(TfrmBaseSettings& Page) override;
    void PagesAdded() override;
    IControlState& ResetItem() override { return FReset; }
    IControlState& HelpItem() override { return FHelp; }
    bool ShowSettingsList() override;
    bool ControlHint(WString& Hint, TPoint& At) override;
    void ShowHelpPopup(const THelpPopup& Popup) override;
    void ShowHelpFile(const std::string& HelpFile) override;

protected:
    void OnCreate() override;
    bool OnCommand(int Id, int Code, HWND Control) override;
    bool OnNotify(NMHDR* Header, LRESULT& Result) override;
    bool OnMessage(UINT Msg, WPARAM WParam, LPARAM LParam, INT_PTR& Result) override;
    bool CanClose(int Code) override;

private:
    class TInfoPage;

    void Layout();
    void ShowTab(int Index);
    void OpenMenu();
    RECT PageRect() const;

    TBaseDevice& FDevice;
    TWin32SettingsUI& FUI;
    std::vector<TPageFactory> FPageClasses;
    std::string FHelpFolder;
    std::unique_ptr<TfrmCommonSettings> FLogic;
    std::unique_ptr<TInfoPage> FInfo;
    std::vector<HWND> FTabPages; // in tab order, the information page last
    TMenuItemState FReset, FHelp;
    HWND FTabs = nullptr, FLogo = nullptr, FModelName = nullptr, FVersion = nullptr;
    HWND FAdditional = nullptr, FOk = nullptr, FCancel = nullptr;
    HBRUSH FHeaderBrush = nullptr;
};
