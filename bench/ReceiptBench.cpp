// A fiscal receipt and a receipt copy of N items through the whole road (GetIDsOfNames + Invoke,
// the fiscal layer, the driver, the library binding) against a printer library whose entry points
// answer at once, so what is measured is the driver's own time. Tracing off (range 1 = 0) and on
// (range 1 = 1). Counters: the time per item, the allocations per item, and the heap the call
// needs beyond what it held before, per item (flat memory shows as a value that falls with N).
#include "AllocationCounter.h"
#include "HostCall.h"

#include "fiscal/uDriverFR.h"
#include "platform/PlatformExt.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

class TBenchDriver : public TDriverFR {
public:
    void LogTo(const std::string& folder) { FDeviceFolder = folder; }

protected:
    std::string LibraryFolder() const override { return std::string(ORVEL_STUB_AZIMUTH_DIR) + "/"; }
};

CY Money(long long kopecks) {
    CY cy;
    cy.int64 = kopecks * 100;
    return cy;
}

// A goods table of N rows with all 19 columns: every other item has a discount, every fourth a
// comment, all a tax group.
Variant Goods(LONG n) {
    VariantArray2D goods(19, n);
    for (LONG r = 0; r < n; ++r) {
        goods.Set(0, r, Variant::FromUtf8("Молоко пастеризованное 3,2% 1 л"));
        goods.Set(1, r, Variant::FromUtf8(""));
        goods.Set(2, r, Variant::FromUtf8("4607001234567"));
        goods.Set(3, r, Variant(1));
        goods.Set(4, r, Variant::FromCurrency(Money(8990)));
        goods.Set(5, r, Variant(2.0));
        goods.Set(6, r, Variant::FromUtf8(r % 2 ? "Скидка" : ""));
        goods.Set(7, r, Variant::FromCurrency(Money(r % 2 ? 100 : 0)));
        goods.Set(8, r, Variant::FromCurrency(Money(0)));
        goods.Set(9, r, Variant::FromCurrency(Money(0)));
        goods.Set(10, r, Variant(1));
        goods.Set(11, r, Variant::FromCurrency(Money(2742)));
        goods.Set(12, r, Variant::FromCurrency(Money(1800)));
        goods.Set(13, r, Variant(-1));
        goods.Set(14, r, Variant::FromCurrency(Money(0)));
        goods.Set(15, r, Variant::FromCurrency(Money(0)));
        goods.Set(16, r, Variant::FromUtf8(""));
        goods.Set(17, r, Variant::FromUtf8(r % 4 ? "" : "Срок годности 5 суток"));
        goods.Set(18, r, Variant::FromUtf8(""));
    }
    return goods.Release();
}

Variant Payments() {
    VariantArray2D payments(3, 1);
    payments.Set(0, 0, Variant(0));
    payments.Set(1, 0, Variant::FromCurrency(Money(100000000)));
    payments.Set(2, 0, Variant::FromUtf8(""));
    return payments.Release();
}

Variant ReceiptParams(bool fiscal) {
    return MakeVariantArray({Variant(0), Variant(fiscal), Variant(0), Variant::FromCurrency(Money(0)),
                             Variant::FromCurrency(Money(100000)), Variant::FromUtf8(""),
                             Variant::FromUtf8("Магазин у дома"), Variant::FromUtf8("Спасибо за покупку!"),
                             Variant(0), Variant(15), Variant(128), Variant::FromDate(46364.5),
                             Variant::FromUtf8("Иванова")});
}

void Receipt(benchmark::State& state, bool fiscal) {
    const LONG n = static_cast<LONG>(state.range(0));
    const bool tracing = state.range(1) != 0;
    ComPtr<TBenchDriver> driver = CreateComObject<TBenchDriver>();
    const std::filesystem::path logs = std::filesystem::temp_directory_path() / "orvel27-bench-log";
    std::filesystem::create_directories(logs);
    driver->LogTo(logs.string() + "/");
    driver->SetParamValue("DebugLogEnabled", Variant(tracing));
    driver->SetParamValue("PrintTaxes", Variant(true));
    WString text;
    if (driver->EnableDevice(text) != 0) {
        state.SkipWithError("the stub library did not connect");
        return;
    }
    IDispatch* dispatch = driver.Get();
    const Variant inData = MakeVariantArray({Goods(n), Payments(), ReceiptParams(fiscal)});
    Variant outData;
    WString name = Utf8ToWide("PrintReceipt");
    LPOLESTR names[1] = {name.data()};
    bool ok = true;
    const std::uint64_t before = HeapAllocations();
    std::int64_t extra = 0;
    for (auto _ : state) {
        const std::int64_t held = HeapLiveBytes();
        ResetHeapPeak();
        Variant result;
        CallCommand(dispatch, names[0], inData, outData, result);
        ok = ok && result.Type() == VT_BOOL && result.AsBoolean();
        extra = std::max(extra, HeapPeakBytes() - held);
    }
    if (!ok)
        state.SkipWithError("the receipt failed");
    const double items = static_cast<double>(n);
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["time/item"] = benchmark::Counter(items, benchmark::Counter::kIsIterationInvariantRate |
                                                                benchmark::Counter::kInvert);
    state.counters["allocs/item"] = benchmark::Counter(
        static_cast<double>(HeapAllocations() - before) / items, benchmark::Counter::kAvgIterations);
    state.counters["peakB/item"] = static_cast<double>(extra) / items;
    driver->DisableSilently();
    std::filesystem::remove_all(logs);
}

// The driver's operation alone, without the host road's two copies of the tables (Invoke copies
// the host's arguments, the command unpacks the tables out of InData): what the driver itself
// holds per item.
void DriverOnly(benchmark::State& state, bool fiscal) {
    const LONG n = static_cast<LONG>(state.range(0));
    ComPtr<TBenchDriver> driver = CreateComObject<TBenchDriver>();
    driver->SetParamValue("PrintTaxes", Variant(true));
    WString text;
    if (driver->EnableDevice(text) != 0) {
        state.SkipWithError("the stub library did not connect");
        return;
    }
    const Variant goods = Goods(n), payments = Payments(), params = ReceiptParams(fiscal);
    bool ok = true;
    std::int64_t extra = 0;
    for (auto _ : state) {
        const std::int64_t held = HeapLiveBytes();
        ResetHeapPeak();
        TFiscalDocResult result;
        ok = ok && driver->DoPrintReceipt(goods, payments, params, result, text) == 0;
        extra = std::max(extra, HeapPeakBytes() - held);
    }
    if (!ok)
        state.SkipWithError("the receipt failed");
    state.counters["time/item"] = benchmark::Counter(
        static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["peakB"] = static_cast<double>(extra);
    driver->DisableSilently();
}

void FiscalReceiptDriverOnly(benchmark::State& state) {
    DriverOnly(state, true);
}
void ReceiptCopyDriverOnly(benchmark::State& state) {
    DriverOnly(state, false);
}
BENCHMARK(FiscalReceiptDriverOnly)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(ReceiptCopyDriverOnly)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void FiscalReceipt(benchmark::State& state) {
    Receipt(state, true);
}
void ReceiptCopy(benchmark::State& state) {
    Receipt(state, false);
}

BENCHMARK(FiscalReceipt)->ArgsProduct({{100, 1000, 10000}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(ReceiptCopy)->ArgsProduct({{100, 1000, 10000}, {0, 1}})->Unit(benchmark::kMillisecond);

// The cash drawer's command called as a host calls it, over and over, with the logs asked for
// written into a folder of their own; each call must answer as expected.
void DrawerCalls(benchmark::State& state, TBenchDriver& driver, const char* folder, bool debugLog,
                 bool eventLog, bool answer) {
    const std::filesystem::path logs = std::filesystem::temp_directory_path() / folder;
    std::filesystem::create_directories(logs);
    driver.LogTo(logs.string() + "/");
    driver.SetParamValue("DebugLogEnabled", Variant(debugLog));
    driver.SetParamValue("EventLogEnabled", Variant(eventLog));
    WString text;
    if (driver.EnableDevice(text) != 0) {
        state.SkipWithError("the stub library did not connect");
        return;
    }
    const Variant inData;
    Variant outData;
    WString name = Utf8ToWide("OpenDrawer");
    bool ok = true;
    for (auto _ : state) {
        Variant result;
        CallCommand(&driver, name.data(), inData, outData, result);
        ok = ok && result.Type() == VT_BOOL && result.AsBoolean() == answer;
    }
    if (!ok)
        state.SkipWithError("the command did not answer as expected");
    driver.DisableSilently();
    std::filesystem::remove_all(logs);
}

// One short command traced and untraced: what tracing adds to a single call.
void TracedCommand(benchmark::State& state) {
    ComPtr<TBenchDriver> driver = CreateComObject<TBenchDriver>();
    DrawerCalls(state, *driver.Get(), "orvel27-bench-command-log", state.range(0) != 0, false, true);
}
BENCHMARK(TracedCommand)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A drawer that does not open: a short command answering a failure.
LONG WINAPI DrawerJammed() {
    return 23;
}

class TJammedDrawerDriver : public TBenchDriver {
protected:
    TAzimuthEntries Lib() const override {
        TAzimuthEntries entries = TBenchDriver::Lib();
        entries.CashDriverOpen = DrawerJammed;
        return entries;
    }
};

// The same command failing with no log (0), the debug log (1) and the event log (2): what each
// log adds to a failure.
void FailingCommand(benchmark::State& state) {
    ComPtr<TJammedDrawerDriver> driver = CreateComObject<TJammedDrawerDriver>();
    DrawerCalls(state, *driver.Get(), "orvel27-bench-failure-log", state.range(0) == 1, state.range(0) == 2,
                false);
}
BENCHMARK(FailingCommand)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace
