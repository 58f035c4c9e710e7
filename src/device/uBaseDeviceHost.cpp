// TBaseDevice: what the device tells about itself (the information record, the debug log's
// header) and what it learns from the host's equipment manager (folders and language).
#include "device/uBaseDevice.h"

#include "device/uDeviceTexts.h"
#include "framework/uDriverIdentity.h"
#include "framework/uEquipmentErrors.h"
#include "framework/uLogText.h"
#include "framework/uVInfo.h"

namespace {

// The version text of the driver's module file, read afresh: "major.minor.build".
WString ModuleVersionText() {
    const TFileVersion version = GetFileVersion("");
    TDeviceInfoStruct record;
    record.VersionMajor = version.Major;
    record.VersionMinor = version.Minor;
    record.VersionBuild = version.Build;
    return FormatVersion(record);
}

std::string WithTrailingDelimiter(std::string folder) {
    if (folder.empty() || folder.back() != platform::PathDelimiter())
        folder += platform::PathDelimiter();
    return folder;
}

// Owns what a failed automation call may leave in an EXCEPINFO.
struct TExcepInfo : EXCEPINFO {
    TExcepInfo() : EXCEPINFO{} {}
    TExcepInfo(const TExcepInfo&) = delete;
    TExcepInfo& operator=(const TExcepInfo&) = delete;
    ~TExcepInfo() {
        SysFreeString(bstrSource);
        SysFreeString(bstrDescription);
        SysFreeString(bstrHelpFile);
    }
    // The host's own description of its failure, if it gave one (UTF-8).
    std::string Description() {
        if (pfnDeferredFillIn && !bstrDescription)
            pfnDeferredFillIn(this);
        return bstrDescription ? WideToUtf8(WStringView(bstrDescription, SysStringLen(bstrDescription)))
                               : std::string();
    }
};

} // namespace

void TBaseDevice::InitDeviceInfo() {
    const TFileVersion version = GetFileVersion("");
    FDeviceInfo = TDeviceInfoStruct{};
    FDeviceInfo.DeviceKind = Utf8ToWide("Unknown");
    FDeviceInfo.VersionMajor = version.Major;
    FDeviceInfo.VersionMinor = version.Minor;
    FDeviceInfo.VersionBuild = version.Build;
    FDeviceInfo.InfoNumber = 1;
    FDeviceInfo.HasSettingsDialog = false;
    FDeviceInfo.MakerName = Utf8ToWide(MakerNameText);
    FDeviceInfo.MakerEMail = Utf8ToWide(MakerEMailText);
    FDeviceInfo.MakerWeb = Utf8ToWide(MakerWebText);
    FDeviceInfo.MakerPhone = Utf8ToWide(MakerPhoneText);
    FDeviceInfo.MakerAddress = Utf8ToWide(MakerAddressText);
}

// GetAppProperty(DeviceID, Name, var Value) -> Boolean on the host's object, by name. The value
// variable is a typed string reference: hosts write the answer through it.
std::string TBaseDevice::GetHostProperty(std::string_view Name) {
    if (FEquipmentManager.Type() != VT_DISPATCH || !FEquipmentManager.Raw().pdispVal)
        throw EDriverError(devicetexts::EquipmentManagerUnavailable);
    // Held for the call: the host's code runs inside it.
    const ComPtr<IDispatch> manager(FEquipmentManager.Raw().pdispVal);

    WString method = Utf8ToWide("GetAppProperty");
    LPOLESTR names[] = {method.data()};
    DISPID id = DISPID_UNKNOWN;
    CheckHResult(manager->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), "GetAppProperty");

    const Variant deviceID(AnsiToWide(FDeviceID));
    const Variant name(AnsiToWide(Name));
    BStr value;
    VARIANT valueRef;
    VariantInit(&valueRef);
    valueRef.vt = VT_BYREF | VT_BSTR;
    valueRef.pbstrVal = value.Receive();
    // Arguments go last first; the by-value ones stay ours and are only lent for the call.
    VARIANT args[3] = {valueRef, name.Raw(), deviceID.Raw()};
    DISPPARAMS params{args, nullptr, 3, 0};
    Variant result;
    TExcepInfo excep;
    const HRESULT hr = manager->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result.Get(),
                                       &excep, nullptr);
    if (FAILED(hr)) {
        const std::string description = hr == DISP_E_EXCEPTION ? excep.Description() : std::string();
        if (!description.empty())
            throw EDriverError(description);
        throw EComError(hr, "GetAppProperty");
    }
    // The answer says whether the value is valid; one that is no Boolean at all says nothing.
    bool valid = false;
    try {
        valid = result.AsBoolean();
    } catch (const EConversionError&) {
    }
    return valid ? WideToAnsi(value.Text()) : std::string();
}

std::string TBaseDevice::GetDeviceFolder() {
    const std::string folder = GetHostProperty("DevicesFolder");
    if (folder.empty() || FDeviceID.empty())
        return {};
    return WithTrailingDelimiter(WithTrailingDelimiter(folder) + FDeviceID);
}

std::string TBaseDevice::GetModelFolder() {
    const std::string folder = GetHostProperty("ModelsFolder");
    if (folder.empty())
        return {};
    return WithTrailingDelimiter(WithTrailingDelimiter(folder) + WideToAnsi(FDeviceInfo.DriverID));
}

std::string TBaseDevice::GetLanguage() { return GetHostProperty("Language"); }

// The block that opens every stretch of a debug log: what driver, which device, what settings.
void TBaseDevice::DoTraceStarted() {
    using namespace devicetexts;
    WriteLog(std::string(40, ' '), {}, true);
    WriteLog(LogBegin, {}, true);
    WriteLog(LogDriverVersion, WideToAnsi(ModuleVersionText()));
    WriteLog(LogDeviceID, FDeviceID);
    WriteLog(LogSettings, {}, true);
    // The log is the file shops send to support: a password stays hidden in it.
    for (const TSettingStruct& p : FParams)
        WriteLog(p.Name, DoParamIsSecret(p.Name) ? VariantToLogText(Variant::FromUtf8(LogHiddenValue))
                                                 : VariantToLogText(p.Value));
    WriteLog(LogEnd, {}, true);
}

bool TBaseDevice::DoParamIsSecret(std::string_view) const { return false; }

bool TBaseDevice::DoEventLogEnabled() const {
    const TSettingStruct* p = FindParam("EventLogEnabled");
    return p && GetParamAsBoolean("EventLogEnabled");
}

void TBaseDevice::DoEventLogPlace(std::string& Folder, std::string& DeviceID) const {
    // Beside the debug log: the device's folder, known from Open on, or else the driver's.
    Folder = FDeviceFolder;
    DeviceID = FDeviceID;
}
