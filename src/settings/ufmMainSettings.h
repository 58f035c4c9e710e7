// TfrmMainSettings: the fiscal printer's page of the settings dialog. It edits the connection
// (port, line speed, cashier name and password) and runs five service actions on the printer at
// once: set the line speed, set the clock, show the printer's identity, X report, Z report. Each
// action runs with the values entered on the page and leaves the parameter table as it was,
// except the line speed, whose new value the printer now uses.
#pragma once

#include "settings/uBaseSettingsDeviceFrm.h"
#include "settings/uFiscalServices.h"

#include <functional>
#include <string>
#include <vector>

// The page's controls that the logic reads and writes.
struct TMainSettingsControls {
    IPortPicker& cbPortNumber;
    IDropDown& cbBaudRate;
    ITextEdit& edOperName;
    ITextEdit& edOperPass;
    IControlState& btnCloseDay;
};

class TfrmMainSettings : public TfrmBaseSettings {
public:
    TfrmMainSettings(TBaseDevice& Device, ISettingsUI& UI, IFiscalServices& Services,
                     const TMainSettingsControls& Controls);

    void CheckSettings(bool& Ok) override;
    void SaveSettings() override;
    void LoadSettings() override;
    void InitPage() override;
    WString Caption() const override;

    // The service actions.
    void btnChangeBaudClick();
    void btnChangeDataTimeClick();
    void btnCRInfoClick();
    void btnCloseDayClick();
    void btnXReportClick();

    // The parameters a service action works with, backed up around it.
    static const std::vector<std::string>& ServiceParams();
    // The identity box: one "label value" line per text, CR LF between them.
    static WString PrinterInfoText(const std::array<std::string, 7>& Texts);

protected:
    // The shared frame: bracket, the driver step when the device came up, the error box.
    // True when everything succeeded.
    bool RunServiceAction(const std::function<LONG(WString&)>& Step);

    IFiscalServices& FServices;
    TMainSettingsControls FControls;

private:
    // While set, SaveSettings leaves BaudRate as stored: the line speed change reaches the printer
    // at the speed it uses now, which is not yet the one chosen on the page.
    bool FAtStoredSpeed = false;
};
