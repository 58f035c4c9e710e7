// The frame of the document parameter dialogs' OK buttons: program the printer at once and only
// when that succeeded write the parameters. The device ends in the state it had before.
#pragma once

#include "device/uBaseDevice.h"
#include "settings/uFiscalServices.h"
#include "settings/uSettingsControls.h"

#include <functional>
#include <string_view>

class TfrmCommonSettings;

class TProgrammingDialog {
public:
    TProgrammingDialog(TBaseDevice& Device, ISettingsUI& UI, IFiscalServices& Services, IProgressBar& Progress)
        : FDevice(Device), FUI(UI), FServices(Services), FProgress(Progress) {}
    virtual ~TProgrammingDialog() = default;
    TProgrammingDialog(const TProgrammingDialog&) = delete;
    TProgrammingDialog& operator=(const TProgrammingDialog&) = delete;

    // The last OK was refused for what was typed: the user has been told and the cell at fault
    // has the focus. The dialog stays open with the input; any other outcome closes it.
    bool InputRefused() const noexcept { return FInputRefused; }
    // The settings dialog this one was opened from: what the printer has taken must survive its
    // Cancel.
    void SetSettingsForm(TfrmCommonSettings* Shell) noexcept { FSettingsForm = Shell; }

protected:
    // Steps set the code and text and move the bar; WriteParams runs only after success. True
    // when the printer was programmed and the parameters written.
    bool Program(const std::function<LONG(WString&)>& Steps, const std::function<void()>& WriteParams);
    // Writes a parameter the printer now holds.
    void Store(std::string_view Name, const Variant& Value);

    TBaseDevice& FDevice;
    ISettingsUI& FUI;
    IFiscalServices& FServices;
    IProgressBar& FProgress;
    bool FInputRefused = false;

private:
    TfrmCommonSettings* FSettingsForm = nullptr;
};
