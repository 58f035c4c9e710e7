// The object model: lists and items, copying, and building from a template table.
#include "templates/uTemplateObj.h"

#include "templates/uTemplateErrors.h"
#include "templates/uTemplateLib.h"
#include "templates/uTemplateTable.h"
#include "templates/uTemplateTexts.h"

using namespace tpl;

// ---------------------------------------------------------------------------------------------
// Lists and items

void TBaseList::SetValues(const TValueTable& values) {
    for (const auto& item : FItems)
        item->SetValues(values);
}

TBaseItem& TBaseList::Add() {
    FItems.push_back(FFactory());
    FItems.back()->SetRoot(Root);
    return *FItems.back();
}

void TBaseList::CopyFrom(const TBaseList& source, TSectionItem* section) {
    Clear();
    for (const auto& item : source.FItems)
        Add().CopyFrom(*item, section);
}

void TBaseItem::CopyFrom(const TBaseItem&, TSectionItem*) { throw ETemplateError(templatetexts::NotOverridden); }

namespace {
// The source as an item of the class T, or the base class's failure.
template <class T>
const T& Same(TBaseItem& self, const TBaseItem& source, TSectionItem* section) {
    const T* same = dynamic_cast<const T*>(&source);
    if (!same)
        self.TBaseItem::CopyFrom(source, section);
    return *same;
}
} // namespace

void TFieldItem::CopyFrom(const TBaseItem& source, TSectionItem* section) {
    const TFieldItem& s = Same<TFieldItem>(*this, source, section);
    Section = section;
    Name = s.Name;
    NameAnsi = s.NameAnsi;
    Fixed = s.Fixed;
    Predefined = s.Predefined;
    Type = s.Type;
    Format = s.Format;
    ParsedFormat = s.ParsedFormat;
    IsParameter = s.IsParameter;
    Prefix = s.Prefix;
    Postfix = s.Postfix;
    Value = s.Value;
    HasValue = s.HasValue;
}

TCompositeFieldItem::TCompositeFieldItem() : Fields(nullptr) {}

void TCompositeFieldItem::CopyFrom(const TBaseItem& source, TSectionItem* section) {
    const TCompositeFieldItem& s = Same<TCompositeFieldItem>(*this, source, section);
    Section = section;
    Fixed = s.Fixed;
    Resizable = s.Resizable;
    Length = s.Length;
    HorizontalAlign = s.HorizontalAlign;
    VerticalAlign = s.VerticalAlign;
    TextPlacement = s.TextPlacement;
    Size = s.Size;
    Bold = s.Bold;
    Italic = s.Italic;
    Underline = s.Underline;
    Inversion = s.Inversion;
    Fields.CopyFrom(s.Fields, section);
}

TCompositeStringItem::TCompositeStringItem() : CompositeFields(nullptr) {}

void TCompositeStringItem::CopyFrom(const TBaseItem& source, TSectionItem* section) {
    const TCompositeStringItem& s = Same<TCompositeStringItem>(*this, source, section);
    Section = section;
    Fixed = s.Fixed;
    MinRows = s.MinRows;
    MaxRows = s.MaxRows;
    PrintEmptyData = s.PrintEmptyData;
    CompositeFields.CopyFrom(s.CompositeFields, section);
}

TSectionItem::TSectionItem() : CompositeStrings(nullptr) {}

void TSectionItem::CopyFrom(const TBaseItem& source, TSectionItem* section) {
    const TSectionItem& s = Same<TSectionItem>(*this, source, section);
    Section = section;
    Name = s.Name;
    NameAnsi = s.NameAnsi;
    Fixed = s.Fixed;
    Predefined = s.Predefined;
    Width = s.Width;
    CompositeStrings.CopyFrom(s.CompositeStrings, this);
}

WString TFieldList::GetText() const {
    WString text;
    AppendText(text);
    return text;
}

void TFieldList::AppendText(WString& text) const {
    for (std::size_t i = 0; i < Count(); ++i) {
        const TFieldItem& f = (*this)[i];
        text += f.Prefix;
        text += f.Value;
        text += f.Postfix;
    }
}

WString TCompositeStringList::GetText() const {
    WString text;
    AppendText(text);
    return text;
}

void TCompositeStringList::AppendText(WString& text) const {
    for (std::size_t i = 0; i < Count(); ++i) {
        for (const WString& row : (*this)[i].Rows) {
            text += row;
            text += WCHAR(u'\r');
            text += WCHAR(u'\n');
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Building from a template table

namespace {

constexpr LONG MinSectionWidth = 20;

void BuildFields(TFieldList& list, const Variant& table, TSectionItem* section) {
    const TTableReader t(table);
    for (LONG i = 0; i < t.Count(); ++i) {
        TFieldItem& f = list.Add();
        f.Section = section;
        f.Name = t.Text(faName, i);
        f.NameAnsi = WideToAnsi(f.Name);
        f.Fixed = t.Flag(faFixed, i);
        f.Predefined = t.Flag(faPredefined, i);
        f.Type = t.Integer(faType, i);
        f.Format = t.Text(faFormat, i);
        f.ParsedFormat = TFieldFormat(f.Format);
        f.IsParameter = t.Flag(faIsParameter, i);
        f.Prefix = t.Text(faPrefix, i);
        f.Postfix = t.Text(faPostfix, i);
        f.Value = ValueText(ConvertFieldValue(t.Item(faValue, i), f.Type));
    }
}

void BuildCompositeFields(TCompositeFieldList& list, const Variant& table, TSectionItem* section) {
    const TTableReader t(table);
    for (LONG i = 0; i < t.Count(); ++i) {
        TCompositeFieldItem& c = list.Add();
        c.Section = section;
        c.Fixed = t.Flag(cfFixed, i);
        c.Resizable = t.Flag(cfResizable, i);
        c.Length = t.Integer(cfLength, i);
        c.HorizontalAlign = t.Integer(cfHorizontalAlign, i);
        c.VerticalAlign = t.Integer(cfVerticalAlign, i);
        c.TextPlacement = t.Integer(cfTextPlacement, i);
        c.Size = t.Flag(cfSize, i);
        c.Bold = t.Flag(cfBold, i);
        c.Italic = t.Flag(cfItalic, i);
        c.Underline = t.Flag(cfUnderline, i);
        c.Inversion = t.Flag(cfInversion, i);
        if (c.Length > templatelimits::MaxColumnWeight || c.Length < -templatelimits::MaxColumnWeight)
            throw ETemplateError(templatetexts::TooLarge);
        BuildFields(c.Fields, t.Item(cfFields, i), section);
    }
}

void BuildCompositeStrings(TCompositeStringList& list, const Variant& table, TSectionItem* section) {
    const TTableReader t(table);
    for (LONG i = 0; i < t.Count(); ++i) {
        TCompositeStringItem& c = list.Add();
        c.Section = section;
        c.Fixed = t.Flag(csFixed, i);
        c.MinRows = t.Integer(csMinRows, i);
        c.MaxRows = t.Integer(csMaxRows, i);
        c.PrintEmptyData = t.Flag(csPrintEmptyData, i);
        BuildCompositeFields(c.CompositeFields, t.Item(csCompositeFields, i), section);
    }
}

} // namespace

TTemplateObj::TTemplateObj() : Sections(this) {}

void TTemplateObj::Build(const Variant& templateTable, LONG width) {
    if (width > templatelimits::MaxLineWidth)
        throw ETemplateError(templatetexts::TooLarge);
    const TTableReader t(templateTable);
    for (LONG i = 0; i < t.Count(); ++i) {
        TSectionItem& s = Sections.Add();
        s.Width = width > MinSectionWidth ? width : MinSectionWidth;
        s.Name = t.Text(saName, i);
        s.NameAnsi = WideToAnsi(s.Name);
        s.Fixed = t.Flag(saFixed, i);
        s.Predefined = t.Flag(saPredefined, i);
        BuildCompositeStrings(s.CompositeStrings, t.Item(saCompositeStrings, i), &s);
    }
}

void TTemplateObj::Spend(std::size_t characters) {
    FSpent += characters;
    if (FSpent > templatelimits::MaxRenderedChars)
        throw ETemplateError(templatetexts::TooLarge);
}
