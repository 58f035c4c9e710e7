// The road of a host command call: GetIDsOfNames + Invoke with a three-element InData array,
// tracing off, against a direct virtual call of the same handler.
#include "AllocationCounter.h"
#include "HostCall.h"

#include "framework/uBaseObject.h"
#include "framework/uInData.h"

#include <benchmark/benchmark.h>

namespace {

// The member names of the real table, so that the lookup scans as far as it does in the driver.
const char* const Names[] = {
    "Init", "Open", "Close", "ShowSettingsDlg", "GetDeviceInfo", "Enable", "Disable", "GetSettings",
    "SetSettings", "CheckHealth", "OpenDay", "PrintReceipt", "Encash", "PrintXReport", "PrintExtReport",
    "PrintZReport", "PrintTemplateDocument", "GetCountersInfo", "GetLastDocInfo", "OpenDrawer",
    "GetFPStateInfo", "GetDateTime", "SetDateTime", "PrintText", "UploadTemplate", "DownloadTemplate",
    "OpenCheck", "CancelCheck",
};

class TBenchObject : public TBaseObject {
public:
    void Initialize() override {
        TBaseObject::Initialize();
        FMethods.resize(10);
        for (const char* name : Names)
            AddCommand(name, &TBenchObject::Handle);
    }
    // A short handler as the fiscal layer writes them: unpack InData, answer OutData.
    virtual LONG Handle(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText) {
        (void)ErrorText;
        LONG sum = Timeout;
        for (LONG i = 0; i < 3; ++i)
            sum += ArrayItemAsInteger(InData, i, 0);
        OutData = Variant(sum);
        return 0;
    }
};

Variant HostInData() { return MakeVariantArray({Variant(1), Variant(2), Variant(3)}); }

// state.range(0): 1 = the InData array, 0 = a scalar InData (shows what the array copy costs).
void DispatchRoad(benchmark::State& state) {
    ComPtr<TBenchObject> object = CreateComObject<TBenchObject>();
    IDispatch* dispatch = object.Get();
    Variant inData = state.range(0) ? HostInData() : Variant(6);
    Variant outData;
    WString name = Utf8ToWide("OpenCheck");
    LPOLESTR names[1] = {name.data()};
    const std::uint64_t before = HeapAllocations();
    for (auto _ : state) {
        Variant result;
        HRESULT hr = CallCommand(dispatch, names[0], inData, outData, result);
        benchmark::DoNotOptimize(hr);
        benchmark::DoNotOptimize(result);
    }
    state.counters["allocs/call"] =
        benchmark::Counter(static_cast<double>(HeapAllocations() - before), benchmark::Counter::kAvgIterations);
    if (state.range(0) && outData.AsInteger() != 6)
        state.SkipWithError("the handler did not run");
}
BENCHMARK(DispatchRoad)->Arg(1)->Arg(0);

void DirectVirtualCall(benchmark::State& state) {
    ComPtr<TBenchObject> object = CreateComObject<TBenchObject>();
    TBenchObject* target = object.Get();
    benchmark::DoNotOptimize(target);
    Variant inData = HostInData();
    Variant outData;
    const std::uint64_t before = HeapAllocations();
    for (auto _ : state) {
        WString errorText;
        LONG code = target->Handle(inData, outData, 0, errorText);
        benchmark::DoNotOptimize(code);
    }
    state.counters["allocs/call"] =
        benchmark::Counter(static_cast<double>(HeapAllocations() - before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(DirectVirtualCall);

} // namespace

BENCHMARK_MAIN();
