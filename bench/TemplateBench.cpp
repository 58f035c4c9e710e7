// Rendering a long goods list: one section printed once per goods row, three columns (a wrapped
// name, quantity, sum), at the receipt's 40 characters. Rows per second and the heap the rendering
// takes beyond the parameter table, against the characters it produces.
#include "AllocationCounter.h"

#include "templates/uTemplateObj.h"
#include "templates/uTemplateTable.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace tpl;

Variant Fields(const char* name, LONG type, const char* format) {
    VariantArray2D t(FieldAttrCount, 1);
    t.Set(faName, 0, Variant::FromUtf8(name));
    t.Set(faFixed, 0, Variant(false));
    t.Set(faPredefined, 0, Variant(false));
    t.Set(faType, 0, Variant(type));
    t.Set(faFormat, 0, Variant::FromUtf8(format));
    t.Set(faIsParameter, 0, Variant(true));
    t.Set(faPrefix, 0, Variant::FromUtf8(""));
    t.Set(faPostfix, 0, Variant::FromUtf8(""));
    t.Set(faValue, 0, Variant::FromUtf8(""));
    return t.Release();
}

Variant GoodsTemplate() {
    struct TColumn {
        bool Resizable;
        LONG Length, Align;
        const char* Field;
        LONG Type;
        const char* Format;
    } const columns[] = {{true, 1, 0, "Name", 0, ""}, {false, 8, 1, "Quantity", 1, "NFD=3"},
                         {false, 10, 1, "Sum", 1, "ND=10;NFD=2"}};
    VariantArray2D cf(CompositeFieldAttrCount, 3);
    for (LONG i = 0; i < 3; ++i) {
        const TColumn& c = columns[i];
        for (LONG a : {cfFixed, cfSize, cfBold, cfItalic, cfUnderline, cfInversion})
            cf.Set(a, i, Variant(false));
        cf.Set(cfResizable, i, Variant(c.Resizable));
        cf.Set(cfLength, i, Variant(c.Length));
        cf.Set(cfHorizontalAlign, i, Variant(c.Align));
        cf.Set(cfVerticalAlign, i, Variant(0));
        cf.Set(cfTextPlacement, i, Variant(0));
        cf.Set(cfFields, i, Fields(c.Field, c.Type, c.Format));
    }
    VariantArray2D cs(CompositeStringAttrCount, 1);
    cs.Set(csFixed, 0, Variant(false));
    cs.Set(csMinRows, 0, Variant(1));
    cs.Set(csMaxRows, 0, Variant(3));
    cs.Set(csCompositeFields, 0, cf.Release());
    cs.Set(csPrintEmptyData, 0, Variant(false));
    VariantArray2D sections(SectionAttrCount, 1);
    sections.Set(saName, 0, Variant::FromUtf8("Goods"));
    sections.Set(saFixed, 0, Variant(false));
    sections.Set(saPredefined, 0, Variant(false));
    sections.Set(saCompositeStrings, 0, cs.Release());
    return sections.Release();
}

Variant GoodsParams(LONG count) {
    VariantArray2D params(2, count);
    for (LONG i = 0; i < count; ++i) {
        VariantArray2D values(2, 3);
        values.Set(0, 0, Variant::FromUtf8("Name"));
        // Every other name wraps onto a second row of the 22-character column.
        values.Set(1, 0, Variant::FromUtf8(i % 2 ? "Молоко пастеризованное 3,2% 1 л" : "Хлеб ржаной"));
        values.Set(0, 1, Variant::FromUtf8("Quantity"));
        values.Set(1, 1, Variant(1.0 + i % 7));
        values.Set(0, 2, Variant::FromUtf8("Sum"));
        values.Set(1, 2, Variant(45.5 * (1 + i % 7)));
        params.Set(0, i, Variant::FromUtf8("Goods"));
        params.Set(1, i, values.Release());
    }
    return params.Release();
}

void RenderGoodsList(benchmark::State& state) {
    const LONG count = static_cast<LONG>(state.range(0));
    const Variant table = GoodsTemplate();
    const Variant params = GoodsParams(count);
    size_t rows = 0, characters = 0;
    std::int64_t peak = 0;
    for (auto _ : state) {
        const std::int64_t before = HeapLiveBytes();
        ResetHeapPeak();
        const WString text = RenderTemplate(table, params, 40);
        peak = std::max(peak, HeapPeakBytes() - before);
        rows = 0;
        for (WCHAR c : text)
            rows += c == u'\n';
        characters = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["peak_MiB"] = static_cast<double>(peak) / (1024.0 * 1024.0);
    state.counters["peak_B/char"] = static_cast<double>(peak) / static_cast<double>(characters ? characters : 1);
}
BENCHMARK(RenderGoodsList)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
