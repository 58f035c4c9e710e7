// TBaseDevice: life cycle, the base commands, the device state and the modal guard.
#include "device/uBaseDevice.h"

#include "framework/uEquipmentErrors.h"

// C++ does not dispatch to a subclass while its constructor or destructor runs, yet every step
// of the chain (FillDeviceInfo, RegisterMethods, RegisterParams, AfterInitialize on the way in;
// DoDisable, BeforeDestroy on the way out) is the subclass's to override. So construction is two
// phases: the constructors only lay out the fields, and the class factory calls Initialize on the
// finished object (CreateComObject). Likewise the last Release runs BeforeDestruction on the
// whole object before any destructor. Initialize is final so that the order stays the same for
// every driver; subclasses hook in through the operations it calls.
void TBaseDevice::Initialize() {
    TBaseObject::Initialize();
    SetTraceEnabled(false);
    InitDeviceInfo();
    FillDeviceInfo();
    RegisterMethods();
    RegisterParams();
    FEquipmentManager.Reset();
    FDeviceID.clear();
    FWindowStack.clear();
    FLogPath.clear();
    FState = dsCreated;
    AfterInitialize();
    FConstructed = true;
}

void TBaseDevice::BeforeDestruction() noexcept {
    // An object whose construction failed half way never reached the device's operations.
    if (!FConstructed)
        return;
    // The host is letting go: nothing can be reported any more, and a failure to disconnect must
    // not keep BeforeDestroy from releasing what the driver holds.
    try {
        DisableSilently();
    } catch (...) {
    }
    try {
        BeforeDestroy();
    } catch (...) {
    }
}

void TBaseDevice::RegisterMethods() {
    // DISPIDs 0 to 9 stay blank; hosts know the base commands by the numbers 10 to 19.
    FMethods.assign(10, TMethodStruct{});
    AddMethod("Init", &TBaseDevice::InitMethod);
    AddMethod("Open", &TBaseDevice::OpenMethod);
    AddMethod("Close", &TBaseDevice::CloseMethod);
    AddCommand("ShowSettingsDlg", &TBaseDevice::ShowSettingsDlgCommand);
    AddCommand("GetDeviceInfo", &TBaseDevice::GetDeviceInfoCommand);
    // Called through the object's own table of overrides: a subclass's handler runs.
    AddCommand("Enable", &TBaseDevice::EnableCommand);
    AddCommand("Disable", &TBaseDevice::DisableCommand);
    AddCommand("GetSettings", &TBaseDevice::GetSettingsCommand);
    AddCommand("SetSettings", &TBaseDevice::SetSettingsCommand);
    AddCommand("CheckHealth", &TBaseDevice::CheckHealthCommand);
}

// ---------------------------------------------------------------------------------------------
// Raw methods

// Init(EquipmentManager, var ErrorText) -> Boolean
void TBaseDevice::InitMethod(TMethodParams& Params, Variant& Result) {
    FEquipmentManager.Reset();
    LONG code = ErrInvalidParameters;
    const VARIANT& manager = Params.Item(0);
    // A null object (a host's Nothing) is no equipment manager either: taking it would only
    // fail later, at the first question to it.
    if (manager.vt == VT_DISPATCH && manager.pdispVal) {
        FEquipmentManager = Variant::FromDispatch(manager.pdispVal);
        WString text;
        code = DoInit(text);
    }
    Result = Variant(code == ErrNone);
    NoteFailedCall("Init", mkRawMethod, code, {});
    // Hosts show this text, also on success; what DoInit said is not passed on.
    Params.Set(1, Variant(GetErrorDescription(code, {})));
    if (code == ErrNone) {
        FState = dsInitialized;
        FModelFolder = GetModelFolder();
        FLanguage = GetLanguage();
    }
}

// Open(DeviceID, var ErrorText) -> Boolean
void TBaseDevice::OpenMethod(TMethodParams& Params, Variant& Result) {
    FDeviceID.clear();
    LONG code = ErrInvalidParameters;
    WString text;
    const VARIANT& deviceID = Params.Item(0);
    if (IsStringType(deviceID.vt)) {
        FDeviceID = ToShortString(Variant::CopyOf(deviceID).AsAnsi());
        FDeviceFolder = GetDeviceFolder();
        code = DoOpen(text);
    }
    Result = Variant(code == ErrNone);
    NoteFailedCall("Open", mkRawMethod, code, text);
    Params.Set(1, Variant(GetErrorDescription(code, text)));
}

// Close() -> True. The state stays: an enabled device stays enabled until Disable.
void TBaseDevice::CloseMethod(TMethodParams&, Variant& Result) {
    DoClose();
    FDeviceID.clear();
    FEquipmentManager.Reset();
    AfterClose();
    Result = Variant(true);
}

// ---------------------------------------------------------------------------------------------
// Commands

LONG TBaseDevice::ShowSettingsDlgCommand(const Variant&, Variant&, LONG, WString&) {
    if (!FDeviceInfo.HasSettingsDialog)
        return ErrCommandNotSupported;
    return DoShowSettingsDlg() ? ErrNone : ErrCancelledByUser;
}

LONG TBaseDevice::GetDeviceInfoCommand(const Variant&, Variant& OutData, LONG, WString&) {
    OutData = DeviceInfoToArray(FDeviceInfo);
    return ErrNone;
}

LONG TBaseDevice::EnableCommand(const Variant&, Variant&, LONG, WString& ErrorText) {
    return EnableDevice(ErrorText);
}

LONG TBaseDevice::DisableCommand(const Variant&, Variant&, LONG, WString& ErrorText) {
    return DisableDevice(ErrorText);
}

LONG TBaseDevice::GetSettingsCommand(const Variant&, Variant& OutData, LONG, WString&) {
    OutData = GetSettingsArray();
    return ErrNone;
}

LONG TBaseDevice::SetSettingsCommand(const Variant& InData, Variant&, LONG, WString&) {
    const LONG code = ApplySettingsArray(InData);
    if (code == ErrNone)
        SettingsApplied();
    return code;
}

LONG TBaseDevice::CheckHealthCommand(const Variant&, Variant&, LONG, WString& ErrorText) {
    return DoCheckHealth(ErrorText);
}

// ---------------------------------------------------------------------------------------------
// Defaults of the overridable operations

LONG TBaseDevice::DoEnable(WString&) { return ErrNone; }
LONG TBaseDevice::DoDisable(WString&) { return ErrNone; }
LONG TBaseDevice::DoCheckHealth(WString&) { return ErrNone; }
bool TBaseDevice::DoShowSettingsDlg() { return false; }
LONG TBaseDevice::DoInit(WString&) { return ErrNone; }
LONG TBaseDevice::DoOpen(WString&) { return ErrNone; }

bool TBaseDevice::DoDeviceTest(WString& Text) {
    Text = GetErrorDescription(ErrCommandNotSupported, {});
    return false;
}

// ---------------------------------------------------------------------------------------------
// State

// Neither this nor DisableDevice looks at the state: Enable on an enabled device connects again.
LONG TBaseDevice::EnableDevice(WString& Text) {
    // The log goes to the device's folder, and its header already names the device.
    FLogPath = FDeviceFolder;
    SetTraceEnabled(GetParamAsBoolean("DebugLogEnabled"));
    const LONG code = DoEnable(Text);
    if (code == ErrNone)
        FState = dsEnabled;
    return code;
}

LONG TBaseDevice::DisableDevice(WString& Text) {
    const LONG code = DoDisable(Text);
    if (code == ErrNone)
        FState = dsInitialized;
    SetTraceEnabled(false);
    return code;
}

LONG TBaseDevice::EnableSilently() {
    WString text;
    return EnableDevice(text);
}

LONG TBaseDevice::DisableSilently() {
    WString text;
    return DisableDevice(text);
}

void TBaseDevice::SetEnabled(bool On) {
    if (IsEnabled() == On)
        return;
    if (On)
        EnableSilently();
    else
        DisableSilently();
}

// ---------------------------------------------------------------------------------------------
// Modal guard

void TBaseDevice::BeginModal() {
    // A null handle is pushed too, so that every EndModal pops what its BeginModal pushed.
    HWND window = GetForegroundWindow();
    FWindowStack.push_back(window);
    if (window)
        EnableWindow(window, FALSE);
}

void TBaseDevice::EndModal() {
    if (FWindowStack.empty())
        return;
    HWND window = FWindowStack.back();
    if (window) {
        EnableWindow(window, TRUE);
        if (window != GetForegroundWindow()) {
            SetForegroundWindow(window);
            SendMessage(window, WM_SETFOCUS, 0, 0);
        }
    }
    FWindowStack.pop_back();
}
