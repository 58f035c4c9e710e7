// The object the dispatch benchmarks call: the driver's 28 member names, each a command with the
// same short handler, so a name lookup scans as far as it does in the driver and a call does the
// work of a short command.
#pragma once

#include "framework/uBaseObject.h"
#include "framework/uInData.h"

#include <array>

// The member names of the driver's table, in its order (index = DISPID).
inline constexpr std::array<const char*, 28> BenchCommandNames = {
    "Init", "Open", "Close", "ShowSettingsDlg", "GetDeviceInfo", "Enable", "Disable", "GetSettings",
    "SetSettings", "CheckHealth", "OpenDay", "PrintReceipt", "Encash", "PrintXReport", "PrintExtReport",
    "PrintZReport", "PrintTemplateDocument", "GetCountersInfo", "GetLastDocInfo", "OpenDrawer",
    "GetFPStateInfo", "GetDateTime", "SetDateTime", "PrintText", "UploadTemplate", "DownloadTemplate",
    "OpenCheck", "CancelCheck",
};

// The member every benchmark calls: near the end of the table, as a receipt's commands are.
inline constexpr const char* BenchCalledName = "OpenCheck";

// A short handler's work as the fiscal layer does it: unpack three InData items, answer OutData.
inline Variant BenchCommandWork(const Variant& InData, LONG Timeout) {
    LONG sum = Timeout;
    for (LONG i = 0; i < 3; ++i)
        sum += ArrayItemAsInteger(InData, i, 0);
    return Variant(sum);
}

// The InData the host passes: [1, 2, 3].
inline Variant BenchInData() { return MakeVariantArray({Variant(1), Variant(2), Variant(3)}); }

class TBenchObject : public TBaseObject {
public:
    void Initialize() override {
        TBaseObject::Initialize();
        FMethods.reserve(BenchCommandNames.size());
        for (const char* name : BenchCommandNames)
            AddCommand(name, &TBenchObject::Handle);
    }
    virtual LONG Handle(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText) {
        (void)ErrorText;
        OutData = BenchCommandWork(InData, Timeout);
        return 0;
    }
};
