// TfrmBaseSettings: the service call bracket of the pages.
#include "settings/uBaseSettingsDeviceFrm.h"

LONG TfrmBaseSettings::BeginServiceCall(const std::vector<std::string>& Names, WString& Text) {
    FUI.SetWaitCursor(true);
    FServiceCallRunning = true;
    FDevice->SaveParamsByName(Names);
    SaveSettings();
    return FDevice->EnableDevice(Text);
}

void TfrmBaseSettings::EndServiceCall() {
    // The device is let go and the table restored even when the hourglass was never shown.
    FDevice->DisableSilently();
    FDevice->RestoreParams();
    if (FServiceCallRunning) {
        FServiceCallRunning = false;
        FUI.SetWaitCursor(false);
    }
}
