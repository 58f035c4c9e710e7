// TfrmMainSettings: loading, checking and saving the connection, and the service actions.
#include "settings/ufmMainSettings.h"

#include "fiscal/uFiscalTexts.h"
#include "framework/uEquipmentErrors.h"
#include "framework/uLocalClock.h"
#include "settings/ufmCommonSettings.h"
#include "settings/uSettingsTexts.h"
#include "settings/uSettingsValues.h"

using namespace settingstexts;


TfrmMainSettings::TfrmMainSettings(TBaseDevice& Device, ISettingsUI& UI, IFiscalServices& Services,
                                   const TMainSettingsControls& Controls)
    : TfrmBaseSettings(Device, UI), FServices(Services), FControls(Controls) {}

WString TfrmMainSettings::Caption() const {
    return Utf8ToWide(MainCaption);
}

const std::vector<std::string>& TfrmMainSettings::ServiceParams() {
    static const std::vector<std::string> names = {"DefCashierName", "DefCashierPassword", "PortNumber",
                                                   "BaudRate"};
    return names;
}

void TfrmMainSettings::InitPage() {
    TfrmBaseSettings::InitPage();
    FControls.btnCloseDay.SetEnabled(FUI.UserIsAdministrator());
}

void TfrmMainSettings::LoadSettings() {
    TfrmBaseSettings::LoadSettings();
    FControls.edOperName.SetText(ParamText(*FDevice, "DefCashierName"));
    WString password = ParamText(*FDevice, "DefCashierPassword");
    if (password.empty())
        password = Utf8ToWide(DefaultPassword);
    FControls.edOperPass.SetText(password);
    LONG port = 0;
    if (ParamInteger(*FDevice, "PortNumber", port))
        FControls.cbPortNumber.SetPortNumber(port);
    LONG baud = 0;
    if (ParamInteger(*FDevice, "BaudRate", baud)) {
        const WString text = AnsiToWide(std::to_string(baud));
        for (int i = 0; i < FControls.cbBaudRate.Count(); ++i)
            if (FControls.cbBaudRate.Item(i) == text) {
                FControls.cbBaudRate.SetItemIndex(i);
                break;
            }
    }
}

void TfrmMainSettings::SaveSettings() {
    TfrmBaseSettings::SaveSettings();
    FDevice->SetParamValue("DefCashierName", Variant(FControls.edOperName.Text()));
    FDevice->SetParamValue("DefCashierPassword", Variant(FControls.edOperPass.Text()));
    FDevice->SetParamValue("PortNumber", Variant(FControls.cbPortNumber.GetPortNumber()));
    if (!FAtStoredSpeed)
        FDevice->SetParamValue("BaudRate", Variant(TextToInteger(FControls.cbBaudRate.Text())));
}

void TfrmMainSettings::CheckSettings(bool& Ok) {
    TfrmBaseSettings::CheckSettings(Ok);
    if (FControls.edOperName.Text().empty()) {
        FControls.edOperName.Focus();
        FUI.ShowError(Utf8ToWide(NoOperName));
        Ok = false;
    } else if (FControls.edOperPass.Text().empty()) {
        FControls.edOperPass.Focus();
        FUI.ShowError(Utf8ToWide(NoOperPass));
        Ok = false;
    } else {
        Ok = true;
    }
    if (Ok)
        SaveSettings();
}

bool TfrmMainSettings::RunServiceAction(const std::function<LONG(WString&)>& Step) {
    LONG result = ErrUnknown;
    WString text;
    try {
        result = BeginServiceCall(ServiceParams(), text);
        if (result == ErrNone)
            result = Step(text);
    } catch (...) {
        // Told like a code: the window around the page could only swallow it.
        result = ErrUnknown;
        text = Utf8ToWide(DescribeCurrentException().Message);
    }
    EndServiceCall();
    if (result != ErrNone)
        FUI.ShowError(GetErrorDescription(result, text));
    return result == ErrNone;
}

void TfrmMainSettings::btnChangeBaudClick() {
    const WString baud = FControls.cbBaudRate.Text();
    // At the chosen speed a printer still at the old one hears only noise and never gets told.
    struct TStoredSpeed {
        bool& Flag;
        explicit TStoredSpeed(bool& flag) : Flag(flag) { Flag = true; }
        ~TStoredSpeed() { Flag = false; }
    };
    bool changed = false;
    {
        TStoredSpeed stored(FAtStoredSpeed);
        changed = RunServiceAction([&](WString& text) { return FServices.ChangeBaudrate(TextToInteger(baud), text); });
    }
    if (changed) {
        // The printer listens at the new speed now: this value survives the restore and Cancel.
        FDevice->SetParamValue("BaudRate", Variant(baud));
        if (FSettingsForm)
            FSettingsForm->KeepValue("BaudRate", Variant(baud));
    }
}

void TfrmMainSettings::btnChangeDataTimeClick() {
    if (!FUI.Confirm(Utf8ToWide(AskDateTime)))
        return;
    RunServiceAction([&](WString& text) { return FServices.SetDateTime(LocalNowAsDate(), text); });
}

WString TfrmMainSettings::PrinterInfoText(const std::array<std::string, 7>& Texts) {
    WString text;
    for (std::size_t i = 0; i < Texts.size(); ++i) {
        if (i > 0)
            text += Utf8ToWide("\r\n");
        text += Utf8ToWide(fiscaltexts::PrinterInfoLabels[i]) + AnsiToWide(Texts[i]);
    }
    return text;
}

void TfrmMainSettings::btnCRInfoClick() {
    std::array<std::string, 7> texts;
    if (RunServiceAction([&](WString& text) { return FServices.ReadPrinterInfo(texts, text); }))
        FUI.ShowInfo(PrinterInfoText(texts));
}

void TfrmMainSettings::btnCloseDayClick() {
    if (!FUI.Confirm(Utf8ToWide(AskCloseDay)))
        return;
    RunServiceAction([&](WString& text) { return FServices.CloseShift(text); });
}

void TfrmMainSettings::btnXReportClick() {
    RunServiceAction([&](WString& text) { return FServices.PrintXReport(text); });
}
