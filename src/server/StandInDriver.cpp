// Stand-in driver for the end-to-end tests of the framework and the device base: the device base with
// its ten base commands plus a handful of members to drive the dispatch road through. It is built
// into a test copy of the server (the shipped server creates the fiscal driver), registered and
// created by ProgID like the real one.
#include "device/uBaseDevice.h"
#include "framework/uDriverIdentity.h"
#include "framework/uEquipmentErrors.h"
#include "framework/uInData.h"
#include "server/DriverClass.h"

namespace {

class TStandInDriver final : public TBaseDevice {
protected:
    void RegisterMethods() override {
        TBaseDevice::RegisterMethods();
        AddMethod("Echo", &TStandInDriver::EchoMethod);
        AddMethod("Assign", &TStandInDriver::AssignMethod);
        AddMethod("Raise", &TStandInDriver::RaiseMethod);
        AddMethod("Version", &TStandInDriver::VersionMethod);
        AddMethod("Trace", &TStandInDriver::TraceMethod);
        AddCommand("Mirror", &TStandInDriver::MirrorCommand);
        AddCommand("Fail", &TStandInDriver::FailCommand);
        AddCommand("Throw", &TStandInDriver::ThrowCommand);
    }

    void RegisterParams() override {
        TBaseDevice::RegisterParams();
        AddParam("Model", ptString, Variant::FromUtf8("Orvel27"), true, "Model", "");
    }

    void FillDeviceInfo() override {
        FDeviceInfo.DriverID = Utf8ToWide(DriverIDText);
        FDeviceInfo.ProgID = Utf8ToWide(DriverProgID);
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
};

} // namespace

ComPtr<TBaseObject> CreateDriverObject() { return CreateComObject<TStandInDriver>(); }
