// The desktop of the settings dialogs on Windows: message boxes over the dialog, the hourglass,
// and the administrators check that guards closing the shift.
#pragma once

#include "settings/uSettingsControls.h"

#include <windows.h>

class TWin32SettingsUI : public ISettingsUI {
public:
    // The window the boxes belong to; may change as dialogs open.
    HWND Owner = nullptr;

    void ShowError(const WString& Text) override;
    void ShowInfo(const WString& Text) override;
    bool Confirm(const WString& Question) override;
    void SetWaitCursor(bool Wait) override;
    bool UserIsAdministrator() override;

private:
    int FWaitDepth = 0;
};
