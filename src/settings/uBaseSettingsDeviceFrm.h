// TfrmBaseSettings: the base of every settings page the shell shows in a tab. The shell loads a
// page from the parameter table, asks it to check and save its values when the user presses OK,
// and reloads it after a reset. Pages with service buttons bracket each printer operation with
// BeginServiceCall and EndServiceCall, so that the values entered on the page are in force for
// that one operation and the table holds what it held before afterwards.
#pragma once

#include "device/uBaseDevice.h"
#include "settings/uSettingsControls.h"

#include <string>
#include <vector>

class TfrmCommonSettings;

class TfrmBaseSettings {
public:
    TfrmBaseSettings(TBaseDevice& Device, ISettingsUI& UI) : FDevice(&Device), FUI(UI) {}
    virtual ~TfrmBaseSettings() = default;
    TfrmBaseSettings(const TfrmBaseSettings&) = delete;
    TfrmBaseSettings& operator=(const TfrmBaseSettings&) = delete;

    // Overridable operations, in the order of their slots.
    // Validates the page's controls; the base accepts them.
    virtual void CheckSettings(bool& Ok) { Ok = true; }
    // Writes the page's controls into the parameter table.
    virtual void SaveSettings() {}
    // Shows the parameter values in the page's controls.
    virtual void LoadSettings() {}
    // Once, right after the page is made and given its device.
    virtual void InitPage() {}

    // The tab's caption.
    virtual WString Caption() const = 0;
    // The page's window and client size, for the views that embed it (null and 0 x 0 without).
    virtual HWND PageWindow() const { return nullptr; }
    virtual void GetClientSize(LONG& Width, LONG& Height) const {
        Width = 0;
        Height = 0;
    }

    // Brackets one printer operation: the hourglass; a backup of exactly the named parameters;
    // the page's values into the table; the device enabled. Answers the enabling's code and text.
    LONG BeginServiceCall(const std::vector<std::string>& Names, WString& Text);
    // Disables the device, puts the backed-up values back and ends the hourglass. Runs whatever
    // BeginServiceCall answered.
    void EndServiceCall();

    TBaseDevice* FDevice;
    TfrmCommonSettings* FSettingsForm = nullptr;

protected:
    ISettingsUI& FUI;

private:
    bool FServiceCallRunning = false;
};
