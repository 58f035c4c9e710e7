// TBaseDevice: the common, port and line-control parameters, and the parameter snapshots the
// settings dialogs take and restore.
#include "device/uBaseDevice.h"

#include "device/uDeviceTexts.h"

#include <initializer_list>

namespace {

struct TParamEntry {
    const char* Name;
    TParamType Type;
    LONG Default; // a Boolean parameter: 0 is False
    const char* Caption;     // UTF-8
    const char* Description; // UTF-8
};

// Registered in the order given; the host sees the table in this order.
void AddParams(TBaseObject& object, std::initializer_list<TParamEntry> entries) {
    for (const TParamEntry& e : entries) {
        const Variant value = e.Type == ptBoolean ? Variant(e.Default != 0) : Variant(e.Default);
        object.AddParam(e.Name, e.Type, value, false, Utf8ToAnsi(e.Caption), Utf8ToAnsi(e.Description));
    }
}

} // namespace

void TBaseDevice::RegisterParams() {
    using namespace devicetexts;
    AddParams(*this,
              {
                  {"DefaultTimeOut", ptNumber, 120, DefaultTimeOutCaption, DefaultTimeOutDescription},
                  {"EventLogEnabled", ptBoolean, 0, EventLogEnabledCaption, EventLogEnabledDescription},
                  {"DebugLogEnabled", ptBoolean, 0, DebugLogEnabledCaption, DebugLogEnabledDescription},
              });
}

void TBaseDevice::RegisterPortParams() {
    using namespace devicetexts;
    AddParams(*this,
              {
                  {"PortNumber", ptNumber, 1, PortNumberCaption, PortNumberDescription},
                  {"Baud", ptNumber, 9600, BaudCaption, BaudDescription},
                  {"DataBits", ptNumber, 8, DataBitsCaption, DataBitsDescription},
                  {"StopBits", ptNumber, 1, StopBitsCaption, StopBitsDescription},
                  {"Parity", ptNumber, 0, ParityCaption, ParityDescription},
                  {"IsOpen", ptBoolean, 1, IsOpenCaption, IsOpenDescription},
              });
}

void TBaseDevice::RegisterLineParams() {
    using namespace devicetexts;
    AddParams(*this,
              {
                  {"FlowControl", ptNumber, 2, FlowControlCaption, FlowControlDescription},
                  {"ControlDTR", ptNumber, 0, ControlDTRCaption, ControlDTRDescription},
                  {"ControlRTS", ptNumber, 0, ControlRTSCaption, ControlRTSDescription},
                  {"TimeOutWrite", ptNumber, 10, TimeOutWriteCaption, TimeOutWriteDescription},
              });
}

// ---------------------------------------------------------------------------------------------
// Snapshots

void TBaseDevice::SaveParams() {
    FParamBackup.clear();
    for (const TSettingStruct& p : FParams)
        FParamBackup.push_back({p.Name, p.Value});
}

void TBaseDevice::SaveParamsByName(const std::vector<std::string>& Names) {
    FParamBackup.clear();
    for (const std::string& name : Names) {
        const TSettingStruct* p = FindParam(name);
        FParamBackup.push_back({ToShortString(name), p ? p->Value : Variant()});
    }
}

void TBaseDevice::RestoreParams() {
    for (const TShortSettingStruct& saved : FParamBackup)
        if (TSettingStruct* p = FindParam(saved.Name))
            p->Value = saved.Value;
    FParamBackup.clear();
}

void TBaseDevice::DiscardSavedParams() noexcept {
    FParamBackup.clear();
}

TSettingStruct* TBaseDevice::GetParamByIndex(LONG i) noexcept {
    if (i < 0 || i >= GetParamCount())
        return nullptr;
    return &FParams[static_cast<std::size_t>(i)];
}
