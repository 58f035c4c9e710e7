// Rendering: parameter values flow down the model, every composite string divides the line into
// its columns, counts its rows and lays the columns' texts out over them.
#include "templates/uTemplateErrors.h"
#include "templates/uTemplateLib.h"
#include "templates/uTemplateObj.h"
#include "templates/uTemplateTable.h"
#include "templates/uTemplateTexts.h"

#include <algorithm>
#include <utility>

const Variant& TValueTable::TRow::Value() const { return Raw ? AsVariant(*Raw) : Owned; }

const std::vector<TValueTable::TRow>& TValueTable::Rows() const {
    if (!FRead) {
        const TTableReader t(FTable);
        FRows.resize(static_cast<size_t>(t.Count()));
        for (LONG j = 0; j < t.Count(); ++j) {
            TRow& row = FRows[static_cast<size_t>(j)];
            const VARIANT* name = t.Ref(0, j);
            if (name && name->vt == VT_BSTR && name->bstrVal)
                row.Name = WStringView(name->bstrVal, SysStringLen(name->bstrVal));
            else
                row.Name = row.OwnedName = t.Text(0, j);
            row.Raw = t.Ref(1, j);
            if (!row.Raw)
                row.Owned = t.Item(1, j);
        }
        FRead = true;
    }
    return FRows;
}

void TFieldItem::SetValues(const TValueTable& values) {
    HasValue = false;
    if (!IsParameter)
        return;
    for (const TValueTable::TRow& row : values.Rows()) {
        if (SameTemplateName(row.Name, Name, NameAnsi)) {
            // A text is its own formatted value; no need to make a Variant of it first.
            Value = Type == ftText ? ValueText(row.Value())
                                   : FormatFieldValue(ConvertFieldValue(row.Value(), Type), Type, ParsedFormat);
            HasValue = true;
        }
    }
}

void TCompositeFieldItem::SetValues(const TValueTable& values) {
    Fields.SetValues(values);
    Text.clear();
    Fields.AppendText(Text);
}

bool TCompositeStringItem::HasData() const {
    bool anyParameter = false;
    for (std::size_t c = 0; c < CompositeFields.Count(); ++c) {
        const TFieldList& fields = CompositeFields[c].Fields;
        for (std::size_t f = 0; f < fields.Count(); ++f) {
            if (fields[f].IsParameter) {
                if (fields[f].HasValue)
                    return true;
                anyParameter = true;
            }
        }
    }
    return !anyParameter;
}

void TCompositeStringItem::SetValues(const TValueTable& values) {
    CompositeFields.SetValues(values);
    if (HasData() || PrintEmptyData) {
        ComputeWidths();
        ComputeRowCount();
        LayoutRows();
    } else {
        Rows.clear();
    }
}

namespace {

// a × b ÷ c rounded to the nearest integer, halves to the even one (c > 0).
long long SharedWidth(long long a, long long b, long long c) {
    const long long p = a * b;
    long long q = p / c, r = p % c;
    if (r < 0) {
        q -= 1;
        r += c;
    }
    if (2 * r > c || (2 * r == c && (q & 1)))
        ++q;
    return q;
}

// need ÷ length rounded up (length ≠ 0).
long long RowsFor(long long need, long long length) {
    long long q = need / length;
    if (need % length != 0 && ((need < 0) == (length < 0)))
        ++q;
    return q;
}

} // namespace

void TCompositeStringItem::ComputeWidths() {
    long long fixed = 0, shares = 0;
    for (std::size_t c = 0; c < CompositeFields.Count(); ++c) {
        const TCompositeFieldItem& col = CompositeFields[c];
        (col.Resizable ? shares : fixed) += col.Length;
    }
    const long long available = static_cast<long long>(Section->Width) - fixed;
    long long given = 0;
    for (std::size_t c = 0; c < CompositeFields.Count(); ++c) {
        TCompositeFieldItem& col = CompositeFields[c];
        long long width = col.Length;
        if (col.Resizable) {
            // Without any weight there is nothing to share out: the column stays unsized.
            width = shares > 0 ? std::min(SharedWidth(col.Length, available, shares), available - given) : 0;
            given += width;
        }
        if (width > templatelimits::MaxLineWidth || width < -templatelimits::MaxLineWidth)
            throw ETemplateError(templatetexts::TooLarge);
        col.EffectiveLength = static_cast<LONG>(width);
    }
}

void TCompositeStringItem::ComputeRowCount() {
    long long rows = MinRows;
    for (std::size_t c = 0; c < CompositeFields.Count(); ++c) {
        const TCompositeFieldItem& col = CompositeFields[c];
        if (col.EffectiveLength == 0)
            throw ETemplateError(templatetexts::ZeroWidthColumn);
        const long long need =
            col.TextPlacement == 0 ? static_cast<long long>(col.Text.size()) : col.EffectiveLength;
        rows = std::min<long long>(std::max(rows, RowsFor(need, col.EffectiveLength)), MaxRows);
    }
    if (rows > templatelimits::MaxBlockRows)
        throw ETemplateError(templatetexts::TooLarge);
    RowCount = static_cast<LONG>(std::max<long long>(rows, 0));
}

void TCompositeStringItem::LayoutRows() {
    const TSectionList& sections = Root->Sections;
    // Every row goes into the document once, whole: its columns, their style codes and the line
    // end are counted here, before they are laid out.
    size_t rowLength = 2;
    for (std::size_t c = 0; c < CompositeFields.Count(); ++c) {
        const TCompositeFieldItem& col = CompositeFields[c];
        rowLength += static_cast<size_t>(std::max<LONG>(col.EffectiveLength, 0));
        const bool flags[4] = {col.Bold, col.Italic, col.Underline, col.Inversion};
        for (int s = 0; s < 4; ++s)
            if (flags[s])
                rowLength += sections.WideStyleCodes[2 * s].size() + sections.WideStyleCodes[2 * s + 1].size();
    }
    Root->Spend(rowLength * static_cast<size_t>(RowCount));
    // The rows' storage of the previous printing is used again.
    Rows.resize(static_cast<size_t>(RowCount));
    for (WString& row : Rows)
        row.clear();
    for (std::size_t c = 0; c < CompositeFields.Count(); ++c) {
        TCompositeFieldItem& col = CompositeFields[c];
        const size_t width = static_cast<size_t>(std::max<LONG>(col.EffectiveLength, 0));
        LayoutBlockInto(col.Block, col.Text, col.EffectiveLength, RowCount, col.TextPlacement, col.VerticalAlign,
                        col.HorizontalAlign);
        const bool flags[4] = {col.Bold, col.Italic, col.Underline, col.Inversion};
        for (size_t r = 0; r < Rows.size(); ++r) {
            WString& row = Rows[r];
            for (int s = 0; s < 4; ++s)
                if (flags[s])
                    row += sections.WideStyleCodes[2 * s];
            if (width > 0)
                row.append(col.Block, r * width, width);
            for (int s = 0; s < 4; ++s)
                if (flags[s])
                    row += sections.WideStyleCodes[2 * s + 1];
        }
    }
}

void TSectionItem::SetValues(const TValueTable& values) { CompositeStrings.SetValues(values); }

void TSectionList::SetValues(const Variant& params) {
    const TTableReader t(params);
    WString result;
    for (LONG i = 0; i < t.Count(); ++i) {
        const WString name = t.Text(0, i);
        for (std::size_t s = 0; s < Count(); ++s) {
            TSectionItem& section = (*this)[s];
            if (!SameTemplateName(name, section.Name, section.NameAnsi))
                continue;
            const VARIANT* inPlace = t.Ref(1, i);
            const Variant copy = inPlace ? Variant() : t.Item(1, i);
            section.SetValues(TValueTable(inPlace ? AsVariant(*inPlace) : copy));
            section.CompositeStrings.AppendText(result);
            break;
        }
    }
    RenderedText = std::move(result);
}

WString RenderTemplate(const Variant& templateTable, const Variant& params, LONG width,
                       const TStyleCodes& styleCodes) {
    TTemplateObj model;
    model.Build(templateTable, width);
    model.Sections.StyleCodes = styleCodes;
    for (size_t i = 0; i < styleCodes.size(); ++i)
        model.Sections.WideStyleCodes[i] = AnsiToWide(styleCodes[i]);
    model.Sections.SetValues(params);
    // The model ends here: its text, megabytes for a long list, is handed out rather than copied.
    return std::move(model.Sections.RenderedText);
}
