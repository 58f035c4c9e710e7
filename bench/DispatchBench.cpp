// The road of a host command call: GetIDsOfNames + Invoke with a three-element InData array,
// tracing off, against a direct virtual call of the same handler.
#include "AllocationCounter.h"
#include "BenchObject.h"
#include "HostCall.h"

#include <benchmark/benchmark.h>

namespace {

// state.range(0): 1 = the InData array by value, 2 = the array by reference (a script host's
// variable), 0 = a scalar InData (shows what the array costs).
void DispatchRoad(benchmark::State& state) {
    ComPtr<TBenchObject> object = CreateComObject<TBenchObject>();
    IDispatch* dispatch = object.Get();
    Variant inData = state.range(0) ? BenchInData() : Variant(6);
    const bool byReference = state.range(0) == 2;
    Variant outData;
    WString name = Utf8ToWide(BenchCalledName);
    LPOLESTR names[1] = {name.data()};
    const std::uint64_t before = HeapAllocations();
    for (auto _ : state) {
        Variant result;
        HRESULT hr = CallCommand(dispatch, names[0], inData, outData, result, byReference);
        benchmark::DoNotOptimize(hr);
        benchmark::DoNotOptimize(result);
    }
    state.counters["allocs/call"] =
        benchmark::Counter(static_cast<double>(HeapAllocations() - before), benchmark::Counter::kAvgIterations);
    if (state.range(0) && outData.AsInteger() != 6)
        state.SkipWithError("the handler did not run");
}
BENCHMARK(DispatchRoad)->Arg(1)->Arg(2)->Arg(0);

void DirectVirtualCall(benchmark::State& state) {
    ComPtr<TBenchObject> object = CreateComObject<TBenchObject>();
    TBenchObject* target = object.Get();
    benchmark::DoNotOptimize(target);
    Variant inData = BenchInData();
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
