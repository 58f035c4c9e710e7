// The settings dialog on Windows: the shell with the fiscal printer's page.
#include "settings/ShowDriverSettings.h"

#include "settings/win32/ufmCommonSettingsView.h"
#include "settings/win32/ufmMainSettingsView.h"

#include "platform/PlatformExt.h"

bool ShowDriverSettings(TDriverFR& Driver) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS |
                                                       ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    TWin32SettingsUI ui;
    TDriverFRServices services(Driver);
    TCommonSettingsWindow* shell = nullptr;
    std::vector<TPageFactory> pages = {[&](TfrmCommonSettings&) -> std::unique_ptr<TfrmBaseSettings> {
        return std::make_unique<TMainSettingsPage>(Driver, ui, services, shell->Handle());
    }};
    // The help file lies beside the driver.
    TCommonSettingsWindow window(Driver, ui, std::move(pages),
                                 platform::ModuleFolder(platform::ModuleOf(reinterpret_cast<const void*>(&ShowDriverSettings))));
    shell = &window;
    return window.ShowModal() == IDOK;
}
