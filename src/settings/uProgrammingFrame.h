// The frame of the document parameter dialogs' OK buttons: program the printer at once and only
// when that succeeded write the parameters. The device ends in the state it had before.
#pragma once

#include "device/uBaseDevice.h"
#include "settings/uFiscalServices.h"
#include "settings/uSettingsControls.h"

#include <functional>

class TProgrammingDialog {
public:
    TProgrammingDialog(TBaseDevice& Device, ISettingsUI& UI, IFiscalServices& Services, IProgressBar& Progress)
        : FDevice(Device), FUI(UI), FServices(Services), FProgress(Progress) {}
    virtual ~TProgrammingDialog() = default;
    TProgrammingDialog(const TProgrammingDialog&) = delete;
    TProgrammingDialog& operator=(const TProgrammingDialog&) = delete;

protected:
    // Steps set the code and text and move the bar; WriteParams runs only after success. True
    // when the printer was programmed and the parameters written.
    bool Program(const std::function<LONG(WString&)>& Steps, const std::function<void()>& WriteParams);

    TBaseDevice& FDevice;
    ISettingsUI& FUI;
    IFiscalServices& FServices;
    IProgressBar& FProgress;
};
