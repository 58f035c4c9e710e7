// Template tables written the way a reader thinks of them (sections of blocks of columns of
// fields) and turned into the attribute-major arrays the host uploads.
#pragma once

#include "framework/uCommonUtils.h"
#include "templates/uTemplateTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tpltest {

inline WString W(std::string_view utf8) { return Utf8ToWide(utf8); }
inline std::string U8(const WString& w) { return WideToUtf8(w); }

struct TField {
    TField(std::string name, LONG type = 0, std::string format = "", bool isParameter = true, std::string prefix = "",
           std::string postfix = "", Variant value = Variant())
        : Name(std::move(name)), Type(type), Format(std::move(format)), IsParameter(isParameter),
          Prefix(std::move(prefix)), Postfix(std::move(postfix)), Value(std::move(value)) {}
    std::string Name;
    LONG Type = 0;
    std::string Format;
    bool IsParameter = true;
    std::string Prefix, Postfix;
    Variant Value;
};

struct TColumn {
    TColumn(bool resizable = false, LONG length = 10, LONG horizontal = 0, LONG vertical = 0, LONG placement = 0,
            std::vector<TField> fields = {})
        : Resizable(resizable), Length(length), HorizontalAlign(horizontal), VerticalAlign(vertical),
          TextPlacement(placement), Fields(std::move(fields)) {}
    bool Resizable = false;
    LONG Length = 10;
    LONG HorizontalAlign = 0, VerticalAlign = 0, TextPlacement = 0;
    std::vector<TField> Fields;
    bool Bold = false, Italic = false, Underline = false, Inversion = false;
    Variant LengthValue; // uploaded instead of Length when not Empty
};

struct TBlock {
    TBlock(LONG minRows = 1, LONG maxRows = 1, bool printEmptyData = false, std::vector<TColumn> columns = {})
        : MinRows(minRows), MaxRows(maxRows), PrintEmptyData(printEmptyData), Columns(std::move(columns)) {}
    LONG MinRows = 1, MaxRows = 1;
    bool PrintEmptyData = false;
    std::vector<TColumn> Columns;
};

struct TSection {
    std::string Name;
    std::vector<TBlock> Blocks;
};

template <class T, class F>
Variant Table(const std::vector<T>& items, LONG attrs, F fill) {
    VariantArray2D table(attrs, static_cast<LONG>(items.size()));
    for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i)
        fill(table, i, items[static_cast<size_t>(i)]);
    return table.Release();
}

inline Variant FieldTable(const std::vector<TField>& fields) {
    using namespace tpl;
    return Table(fields, FieldAttrCount, [](VariantArray2D& t, LONG i, const TField& f) {
        t.Set(faName, i, Variant::FromUtf8(f.Name));
        t.Set(faFixed, i, Variant(false));
        t.Set(faPredefined, i, Variant(false));
        t.Set(faType, i, Variant(f.Type));
        t.Set(faFormat, i, Variant::FromUtf8(f.Format));
        t.Set(faIsParameter, i, Variant(f.IsParameter));
        t.Set(faPrefix, i, Variant::FromUtf8(f.Prefix));
        t.Set(faPostfix, i, Variant::FromUtf8(f.Postfix));
        t.Set(faValue, i, f.Value);
    });
}

inline Variant ColumnTable(const std::vector<TColumn>& columns) {
    using namespace tpl;
    return Table(columns, CompositeFieldAttrCount, [](VariantArray2D& t, LONG i, const TColumn& c) {
        t.Set(cfFixed, i, Variant(false));
        t.Set(cfResizable, i, Variant(c.Resizable));
        t.Set(cfLength, i, c.LengthValue.IsEmpty() ? Variant(c.Length) : c.LengthValue);
        t.Set(cfHorizontalAlign, i, Variant(c.HorizontalAlign));
        t.Set(cfVerticalAlign, i, Variant(c.VerticalAlign));
        t.Set(cfTextPlacement, i, Variant(c.TextPlacement));
        t.Set(cfSize, i, Variant(0));
        t.Set(cfBold, i, Variant(c.Bold));
        t.Set(cfItalic, i, Variant(c.Italic));
        t.Set(cfUnderline, i, Variant(c.Underline));
        t.Set(cfInversion, i, Variant(c.Inversion));
        t.Set(cfFields, i, FieldTable(c.Fields));
    });
}

inline Variant BlockTable(const std::vector<TBlock>& blocks) {
    using namespace tpl;
    return Table(blocks, CompositeStringAttrCount, [](VariantArray2D& t, LONG i, const TBlock& b) {
        t.Set(csFixed, i, Variant(false));
        t.Set(csMinRows, i, Variant(b.MinRows));
        t.Set(csMaxRows, i, Variant(b.MaxRows));
        t.Set(csCompositeFields, i, ColumnTable(b.Columns));
        t.Set(csPrintEmptyData, i, Variant(b.PrintEmptyData));
    });
}

inline Variant TemplateTable(const std::vector<TSection>& sections) {
    using namespace tpl;
    return Table(sections, SectionAttrCount, [](VariantArray2D& t, LONG i, const TSection& s) {
        t.Set(saName, i, Variant::FromUtf8(s.Name));
        t.Set(saFixed, i, Variant(false));
        t.Set(saPredefined, i, Variant(false));
        t.Set(saCompositeStrings, i, BlockTable(s.Blocks));
    });
}

using TValues = std::vector<std::pair<std::string, Variant>>;

inline Variant Pairs(const TValues& values) {
    return Table(values, 2, [](VariantArray2D& t, LONG i, const std::pair<std::string, Variant>& v) {
        t.Set(0, i, Variant::FromUtf8(v.first));
        t.Set(1, i, v.second);
    });
}

// The parameter table: one row per printing of a section.
inline Variant Params(const std::vector<std::pair<std::string, TValues>>& printings) {
    return Table(printings, 2, [](VariantArray2D& t, LONG i, const std::pair<std::string, TValues>& p) {
        t.Set(0, i, Variant::FromUtf8(p.first));
        t.Set(1, i, Pairs(p.second));
    });
}

// A one-section template with one block.
inline Variant OneBlock(const TBlock& block) { return TemplateTable({{"S", {block}}}); }

// The rendered text's rows (UTF-8), each checked to end in CR LF.
inline std::vector<std::string> RowsOf(const WString& text) {
    std::vector<std::string> rows;
    const std::string s = WideToUtf8(text);
    size_t start = 0;
    while (start < s.size()) {
        const size_t end = s.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "a row without CR LF: " << s.substr(start);
        if (end == std::string::npos)
            break;
        rows.push_back(s.substr(start, end - start));
        start = end + 2;
    }
    return rows;
}

// Switches the regional settings of the platform stand-in for one test (Russian by default);
// under Windows the system's stay, and a test that needs the decimal point runs only where the
// system has it (CTest's unit_decimal_point runs it under such a locale).
class TDecimalPoint {
public:
    TDecimalPoint();
    ~TDecimalPoint();
    bool Active() const { return FActive; }

private:
    bool FActive = false;
};

} // namespace tpltest
