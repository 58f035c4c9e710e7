// Template tables and parameter tables of any shape through the renderer at any line width: a
// broken or hostile template must fail with an exception of the driver, never crash, hang, read
// out of bounds or take memory beyond the limits.
#include "framework/uCommonUtils.h"
#include "templates/uTemplateObj.h"
#include "templates/uTemplateTable.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// Reads the fuzzer's bytes as choices; past the end every choice is 0.
class TChoices {
public:
    TChoices(const uint8_t* data, size_t size) : FData(data), FSize(size) {}
    uint8_t Byte() { return FPos < FSize ? FData[FPos++] : 0; }
    LONG Integer() {
        static const LONG interesting[] = {0, 1, 2, 3, -1, 8, 20, 40, 4096, 4097, 65535, 0x7FFFFFFF, -0x7FFFFFFF - 1};
        const uint8_t b = Byte();
        if (b < 128)
            return b % 16;
        if (b < 200)
            return interesting[b % (sizeof interesting / sizeof *interesting)];
        return static_cast<LONG>(static_cast<uint32_t>(Byte()) | static_cast<uint32_t>(Byte()) << 8 |
                                 static_cast<uint32_t>(Byte()) << 16 | static_cast<uint32_t>(Byte()) << 24);
    }
    WString Text() {
        static const char* const pieces[] = {"a", "Б", " ", "#", ";", "=", "1", ".", ",", "ND", "NFD", "NDS",
                                             "NLZ", "DF", "ЧЦ", "ДФ", "d", "m", "y", "h", "n", "s", "'", "\"",
                                             "am/pm", "A", "B", "S", "True", "0", "-", "z", "c", "t"};
        WString text;
        for (uint8_t n = Byte() % 12; n > 0; --n)
            text += Utf8ToWide(pieces[Byte() % (sizeof pieces / sizeof *pieces)]);
        return text;
    }
    Variant Value(int depth) {
        switch (Byte() % 9) {
        case 0:
            return Variant();
        case 1:
            return Variant::Null();
        case 2:
            return Variant(Integer());
        case 3:
            return Variant(static_cast<double>(Integer()) / 7.0);
        case 4:
            return Variant::FromDate(static_cast<double>(Integer()) / 3.0);
        case 5:
            return Variant(Byte() % 2 == 0);
        case 6:
            return depth < 3 ? Table(Byte() % 10, Byte() % 4, depth + 1) : Variant();
        default:
            return Variant(Text());
        }
    }
    // A table of attrs × count values, each drawn anew.
    Variant Table(LONG attrs, LONG count, int depth) {
        VariantArray2D table(attrs, count);
        for (LONG i = 0; i < count; ++i)
            for (LONG a = 0; a < attrs; ++a)
                table.Set(a, i, Value(depth));
        return table.Release();
    }
    // Most of the time a table of the right layout, so the renderer gets far.
    Variant Level(LONG attrs, int depth) {
        const uint8_t shape = Byte();
        if (shape < 16)
            return Value(depth);
        const LONG count = Byte() % 4;
        VariantArray2D table(shape < 32 ? attrs - 1 : attrs, count);
        for (LONG i = 0; i < count; ++i)
            for (LONG a = 0; a < (shape < 32 ? attrs - 1 : attrs); ++a)
                table.Set(a, i, Attribute(attrs, a, depth));
        return table.Release();
    }

private:
    Variant Attribute(LONG attrs, LONG a, int depth) {
        using namespace tpl;
        if (attrs == SectionAttrCount && a == saCompositeStrings)
            return Level(CompositeStringAttrCount, depth + 1);
        if (attrs == CompositeStringAttrCount && a == csCompositeFields)
            return Level(CompositeFieldAttrCount, depth + 1);
        if (attrs == CompositeFieldAttrCount && a == cfFields)
            return Level(FieldAttrCount, depth + 1);
        if (attrs == SectionAttrCount && a == saName)
            return Variant(Utf8ToWide(Byte() % 2 ? "S" : "T"));
        if (attrs == FieldAttrCount && a == faName)
            return Variant(Utf8ToWide(Byte() % 2 ? "A" : "B"));
        if (attrs == FieldAttrCount && (a == faFormat || a == faValue || a == faPrefix))
            return Variant(Text());
        return Byte() % 4 ? Variant(Integer()) : Value(depth);
    }

    const uint8_t* FData;
    size_t FSize;
    size_t FPos = 0;
};

Variant Params(TChoices& c) {
    const LONG count = c.Byte() % 6;
    VariantArray2D params(2, count);
    for (LONG i = 0; i < count; ++i) {
        params.Set(0, i, Variant(Utf8ToWide(c.Byte() % 2 ? "S" : "T")));
        const LONG values = c.Byte() % 4;
        VariantArray2D table(2, values);
        for (LONG j = 0; j < values; ++j) {
            table.Set(0, j, Variant(Utf8ToWide(c.Byte() % 2 ? "A" : "B")));
            table.Set(1, j, c.Value(1));
        }
        params.Set(1, i, c.Byte() < 240 ? table.Release() : c.Value(1));
    }
    return params.Release();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096)
        return 0;
    TChoices choices(data, size);
    const LONG width = choices.Integer();
    const Variant table = choices.Level(tpl::SectionAttrCount, 0);
    const Variant params = Params(choices);
    try {
        const WString text = RenderTemplate(table, params, width);
        // Every row ends in CR LF.
        if (!text.empty() && (text.size() < 2 || text[text.size() - 2] != u'\r' || text.back() != u'\n'))
            __builtin_trap();
    } catch (const EDriverError&) {
        // a refused template: what the command reports as its failure
    }
    return 0;
}
