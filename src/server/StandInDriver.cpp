// Stand-in for the concrete driver: an automation object with the framework's dispatch road and
// a handful of members to drive it through, so the server can be registered, created by ProgID
// and called from a host before the device layers exist. The concrete driver replaces this file
// with its own CreateDriverObject.
#include "framework/uDeviceInfo.h"
#include "framework/uDriverIdentity.h"
#include "framework/uEquipmentErrors.h"
#include "framework/uInData.h"
#include "framework/uVInfo.h"
#include "server/DriverClass.h"

namespace {

class TStandInDriver final : public TBaseObject {
public:
    void Initialize() override {
        TBaseObject::Initialize();
        // The device layers keep DISPIDs 0 to 9 blank; so does the stand-in.
        FMethods.resize(10);
        AddMethod("Echo", &TStandInDriver::EchoMethod);
        AddMethod("Assign", &TStandInDriver::AssignMethod);
        AddMethod("Raise", &TStandInDriver::RaiseMethod);
        AddMethod("Version", &TStandInDriver::VersionMethod);
        AddMethod("Trace", &TStandInDriver::TraceMethod);
        AddCommand("Mirror", &TStandInDriver::MirrorCommand);
        AddCommand("Fail", &TStandInDriver::FailCommand);
        AddCommand("Throw", &TStandInDriver::ThrowCommand);
        AddCommand("GetDeviceInfo", &TStandInDriver::GetDeviceInfoCommand);
        AddCommand("GetSettings", &TStandInDriver::GetSettingsCommand);
        AddCommand("SetSettings", &TStandInDriver::SetSettingsCommand);

        AddParam("DefaultTimeOut", ptNumber, Variant(5000), false, "Timeout", "");
        AddParam("DebugLogEnabled", ptBoolean, Variant(false), false, "Debug log", "");
        AddParam("Model", ptString, Variant::FromUtf8("Orvel27"), true, "Model", "");
    }

private:
    // Echo(value) -> value
    void EchoMethod(TMethodParams& Params, Variant& Result) { Result = Variant::CopyOf(Params.Item(0)); }

    // Assign(value, var target) -> True; the target receives the value.
    void AssignMethod(TMethodParams& Params, Variant& Result) {
        Params.Set(1, Variant::CopyOf(Params.Item(0)));
        Result = Variant(true);
    }

    // Raise(message) fails with the message.
    void RaiseMethod(TMethodParams& Params, Variant& Result) {
        (void)Result;
        throw EDriverError(WideToUtf8(Variant::CopyOf(Params.Item(0)).AsWide()));
    }

    // Version() -> "major.minor.build" of this module's file version.
    void VersionMethod(TMethodParams&, Variant& Result) { Result = Variant(FormatVersion(DeviceInfo())); }

    // Trace(folder, on) points the debug log at a folder and switches tracing.
    void TraceMethod(TMethodParams& Params, Variant& Result) {
        FLogPath = Variant::CopyOf(Params.Item(0)).AsAnsi();
        SetTraceEnabled(Variant::CopyOf(Params.Item(1)).AsBoolean());
        Result = Variant(true);
    }

    LONG MirrorCommand(const Variant& InData, Variant& OutData, LONG, WString&) {
        OutData = InData;
        return ErrNone;
    }

    // InData = [code, text]: fails with that code and, if given, that text.
    LONG FailCommand(const Variant& InData, Variant&, LONG, WString& ErrorText) {
        ErrorText = AnsiToWide(ArrayItemAsString(InData, 1, ""));
        return ArrayItemAsInteger(InData, 0, ErrUnknown);
    }

    LONG ThrowCommand(const Variant& InData, Variant&, LONG, WString&) {
        throw EDriverError(WideToUtf8(InData.AsWide()));
    }

    LONG GetDeviceInfoCommand(const Variant&, Variant& OutData, LONG, WString&) {
        OutData = DeviceInfoToArray(DeviceInfo());
        return ErrNone;
    }

    LONG GetSettingsCommand(const Variant&, Variant& OutData, LONG, WString&) {
        OutData = GetSettingsArray();
        return ErrNone;
    }

    LONG SetSettingsCommand(const Variant& InData, Variant&, LONG, WString&) { return ApplySettingsArray(InData); }

    static TDeviceInfoStruct DeviceInfo() {
        TDeviceInfoStruct info;
        const TFileVersion version = GetFileVersion("");
        info.DeviceKind = Utf8ToWide("Unknown");
        info.DriverID = Utf8ToWide(DriverIDText);
        info.VersionMajor = version.Major;
        info.VersionMinor = version.Minor;
        info.VersionBuild = version.Build;
        info.ProgID = Utf8ToWide(DriverProgID);
        info.MakerName = Utf8ToWide(MakerNameText);
        info.MakerEMail = Utf8ToWide(MakerEMailText);
        info.MakerWeb = Utf8ToWide(MakerWebText);
        info.MakerPhone = Utf8ToWide(MakerPhoneText);
        info.MakerAddress = Utf8ToWide(MakerAddressText);
        return info;
    }
};

} // namespace

ComPtr<TBaseObject> CreateDriverObject() { return CreateComObject<TStandInDriver>(); }
