// The template object model: built from a template table for one rendering and discarded after
// it. A template holds sections, a section composite strings (blocks of rows), a composite
// string composite fields (its columns), a composite field fields (pieces of text). Lists own
// their items, items own their child lists; Section and Root are plain back references.
#pragma once

#include "framework/uCommonUtils.h"
#include "templates/uTemplateLib.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TTemplateObj;
class TSectionItem;
class TBaseItem;

// The value table of one printing of a section: [0, j] a field name, [1, j] its value. It is read
// when a parameter field first asks for it, so a section without parameter fields accepts any
// value.
class TValueTable {
public:
    struct TRow {
        WStringView Name;           // in the table, or
        WString OwnedName;          // a copy of it when it is no text there
        const VARIANT* Raw = nullptr; // the value in the table, or
        Variant Owned;              // a copy of it when it was given by reference
        const Variant& Value() const;
    };
    explicit TValueTable(const Variant& table) : FTable(table) {}
    const std::vector<TRow>& Rows() const;

private:
    const Variant& FTable;
    mutable bool FRead = false;
    mutable std::vector<TRow> FRows;
};

class TBaseList {
public:
    using TFactory = std::function<std::unique_ptr<TBaseItem>()>;
    TBaseList(TFactory factory, TTemplateObj* root) : Root(root), FFactory(std::move(factory)) {}
    virtual ~TBaseList() = default;
    TBaseList(const TBaseList&) = delete;
    TBaseList& operator=(const TBaseList&) = delete;

    virtual void SetValues(const TValueTable& values);
    virtual WString GetText() const { return {}; }
    // Empties the list and appends a copy of every item of the source, in order.
    void CopyFrom(const TBaseList& source, TSectionItem* section);

    std::size_t Count() const noexcept { return FItems.size(); }
    TBaseItem& Add();
    void Clear() noexcept { FItems.clear(); }

    TTemplateObj* Root; // the template the list belongs to

protected:
    TBaseItem& At(std::size_t i) const { return *FItems[i]; }

private:
    TFactory FFactory;
    std::vector<std::unique_ptr<TBaseItem>> FItems;
};

class TBaseItem {
public:
    virtual ~TBaseItem() = default;
    // Copies the source's attributes and child list; the base fails with "Не перекрыт", and so
    // does every override given an item of another class.
    virtual void CopyFrom(const TBaseItem& source, TSectionItem* section);
    virtual void SetValues(const TValueTable&) {}
    // Set when the item joins a list; items pass it on to their child lists.
    virtual void SetRoot(TTemplateObj* root) { Root = root; }

    TSectionItem* Section = nullptr;
    TTemplateObj* Root = nullptr;
};

// A list of one item class.
template <class TItem>
class TItemList : public TBaseList {
public:
    explicit TItemList(TTemplateObj* root) : TBaseList([] { return std::make_unique<TItem>(); }, root) {}
    TItem& Add() { return static_cast<TItem&>(TBaseList::Add()); }
    TItem& operator[](std::size_t i) const { return static_cast<TItem&>(At(i)); }
};

class TFieldItem : public TBaseItem {
public:
    void CopyFrom(const TBaseItem& source, TSectionItem* section) override;
    void SetValues(const TValueTable& values) override;

    WString Name;
    std::string NameAnsi; // Name in the code page of the name comparison
    bool Fixed = false, Predefined = false;
    LONG Type = 0;
    WString Format;
    TFieldFormat ParsedFormat; // Format, read once
    bool IsParameter = false;
    WString Prefix, Postfix, Value;
    bool HasValue = false;
};

class TFieldList : public TItemList<TFieldItem> {
public:
    using TItemList::TItemList;
    // Prefix + Value + Postfix of every field, in order.
    WString GetText() const override;
    void AppendText(WString& text) const;
};

class TCompositeFieldItem : public TBaseItem {
public:
    TCompositeFieldItem();
    void CopyFrom(const TBaseItem& source, TSectionItem* section) override;
    void SetRoot(TTemplateObj* root) override {
        Root = root;
        Fields.Root = root;
    }
    void SetValues(const TValueTable& values) override;

    bool Fixed = false, Resizable = false;
    LONG Length = 0, HorizontalAlign = 0, VerticalAlign = 0, TextPlacement = 0;
    bool Size = false, Bold = false, Italic = false, Underline = false, Inversion = false;
    TFieldList Fields;
    WString Text, Block;
    LONG EffectiveLength = 0;
};

using TCompositeFieldList = TItemList<TCompositeFieldItem>;

class TCompositeStringItem : public TBaseItem {
public:
    TCompositeStringItem();
    void CopyFrom(const TBaseItem& source, TSectionItem* section) override;
    void SetRoot(TTemplateObj* root) override {
        Root = root;
        CompositeFields.Root = root;
    }
    void SetValues(const TValueTable& values) override;
    bool HasData() const;

    bool Fixed = false;
    LONG MinRows = 0, MaxRows = 0;
    bool PrintEmptyData = false;
    TCompositeFieldList CompositeFields;
    std::vector<WString> Rows;
    LONG RowCount = 0;

private:
    void ComputeWidths();
    void ComputeRowCount();
    void LayoutRows();
};

class TCompositeStringList : public TItemList<TCompositeStringItem> {
public:
    using TItemList::TItemList;
    // Every row of every composite string, each followed by CR LF.
    WString GetText() const override;
    void AppendText(WString& text) const;
};

class TSectionItem : public TBaseItem {
public:
    TSectionItem();
    void CopyFrom(const TBaseItem& source, TSectionItem* section) override;
    void SetRoot(TTemplateObj* root) override {
        Root = root;
        CompositeStrings.Root = root;
    }
    void SetValues(const TValueTable& values) override;

    WString Name;
    std::string NameAnsi;
    bool Fixed = false, Predefined = false;
    LONG Width = 0;
    TCompositeStringList CompositeStrings;
};

// The style codes a printer may put around a column's text, in the printer's code page.
enum TStyleCode { scBoldOn, scBoldOff, scItalicOn, scItalicOff, scUnderlineOn, scUnderlineOff, scInversionOn, scInversionOff };
using TStyleCodes = std::array<std::string, 8>;

class TSectionList : public TItemList<TSectionItem> {
public:
    using TItemList::TItemList;
    // Prints, for every row [section name, value table] of the parameter table in order, the
    // first section of that name with those values; unknown names are skipped.
    void SetValues(const Variant& params);
    using TItemList::SetValues; // every section with one value table
    WString GetText() const override { return RenderedText; }

    WString RenderedText;
    TStyleCodes StyleCodes;
    std::array<WString, 8> WideStyleCodes; // the same, as the rows carry them
};

class TTemplateObj {
public:
    TTemplateObj();
    TTemplateObj(const TTemplateObj&) = delete;
    TTemplateObj& operator=(const TTemplateObj&) = delete;

    // Builds the sections from a template table for a line of Width characters (at least 20).
    void Build(const Variant& templateTable, LONG width);
    // Counts characters the rendering is about to hold; past the limit it fails.
    void Spend(std::size_t characters);
    std::size_t Spent() const noexcept { return FSpent; }

    TSectionList Sections;

private:
    std::size_t FSpent = 0;
};

// Builds a model, renders the parameter table with it and returns the text: rows of Width
// characters, each ended by CR LF. Failures (a broken template or parameter table, sizes beyond
// the limits) are exceptions.
WString RenderTemplate(const Variant& templateTable, const Variant& params, LONG width,
                       const TStyleCodes& styleCodes = {});
