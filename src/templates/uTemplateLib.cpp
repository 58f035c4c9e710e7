// The XML reader: the platform's XML DOM through automation, by late binding.
#include "templates/uTemplateLib.h"

#include "templates/uTemplateErrors.h"
#include "templates/uTemplateTable.h"
#include "templates/uTemplateTexts.h"

#include <vector>

using namespace tpl;

namespace {

// An automation object called by member names.
class TAutoObject {
public:
    explicit TAutoObject(ComPtr<IDispatch> object) : FObject(std::move(object)) {}
    static TAutoObject Create(const char* progId) {
        CLSID clsid{};
        ComPtr<IDispatch> object;
        const WString name = Utf8ToWide(progId);
        if (FAILED(CLSIDFromProgID(name.c_str(), &clsid)) ||
            FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                    reinterpret_cast<void**>(object.Receive()))))
            object.Reset();
        return TAutoObject(std::move(object));
    }
    explicit operator bool() const noexcept { return static_cast<bool>(FObject); }

    Variant Call(const char* name, std::vector<Variant> args = {}) const {
        return Invoke(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(args));
    }
    void Put(const char* name, Variant value) const {
        Invoke(name, DISPATCH_PROPERTYPUT, {std::move(value)});
    }
    // The object a call answered, or none when it answered nothing (a null dispatch).
    TAutoObject Object(const char* name, std::vector<Variant> args = {}) const {
        const Variant result = Call(name, std::move(args));
        if (result.Type() != VT_DISPATCH)
            return TAutoObject(nullptr);
        return TAutoObject(ComPtr<IDispatch>(result.Raw().pdispVal));
    }

private:
    Variant Invoke(const char* name, WORD flags, std::vector<Variant> args) const {
        WString wide = Utf8ToWide(name);
        LPOLESTR names[] = {wide.data()};
        DISPID id = 0;
        CheckHResult(FObject->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), name);
        // Arguments go last first.
        std::vector<VARIANT> raw;
        for (auto it = args.rbegin(); it != args.rend(); ++it)
            raw.push_back(it->Raw());
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params{raw.data(), flags == DISPATCH_PROPERTYPUT ? &named : nullptr, static_cast<UINT>(raw.size()),
                          flags == DISPATCH_PROPERTYPUT ? 1u : 0u};
        Variant result;
        CheckHResult(FObject->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                     flags == DISPATCH_PROPERTYPUT ? nullptr : result.Get(), nullptr, nullptr),
                     name);
        return result;
    }

    ComPtr<IDispatch> FObject;
};

// The elements a node list holds, in document order.
std::vector<TAutoObject> Select(const TAutoObject& node, const char* xpath) {
    std::vector<TAutoObject> nodes;
    const TAutoObject list = node.Object("SelectNodes", {Variant::FromUtf8(xpath)});
    if (!list)
        return nodes;
    const LONG length = list.Call("length").AsInteger();
    for (LONG k = 0; k < length; ++k)
        nodes.push_back(list.Object("item", {Variant(k)}));
    return nodes;
}

// Attributes: texts (absent is empty), integers (absent or no number is 0), flags (only the
// word True, in any case).
WString TextAttr(const TAutoObject& e, const char* name) { return ValueText(e.Call("GetAttribute", {Variant::FromUtf8(name)})); }

LONG IntegerAttr(const TAutoObject& e, const char* name) { return DecimalInteger(TextAttr(e, name), false).value_or(0); }

bool FlagAttr(const TAutoObject& e, const char* name) {
    return SameName(WideToAnsi(TextAttr(e, name)), "True");
}

struct TAttr {
    LONG Index;
    const char* Name;
    enum { Text, Integer, Flag } Kind;
};

// One level: the table of the selected elements, each row filled by its attributes and, when the
// element has descendants of the next level, their table under the child index.
template <size_t N>
Variant ReadLevel(const std::vector<TAutoObject>& elements, LONG attrCount, const TAttr (&attrs)[N], LONG childIndex,
                  Variant (*readChildren)(const TAutoObject&)) {
    VariantArray2D table(attrCount, static_cast<LONG>(elements.size()));
    for (LONG i = 0; i < static_cast<LONG>(elements.size()); ++i) {
        const TAutoObject& e = elements[static_cast<size_t>(i)];
        if (readChildren) {
            Variant children = readChildren(e);
            if (!children.IsEmpty())
                table.Set(childIndex, i, std::move(children));
        }
        for (const TAttr& a : attrs) {
            switch (a.Kind) {
            case TAttr::Text:
                table.Set(a.Index, i, Variant(TextAttr(e, a.Name)));
                break;
            case TAttr::Integer:
                table.Set(a.Index, i, Variant(IntegerAttr(e, a.Name)));
                break;
            case TAttr::Flag:
                table.Set(a.Index, i, Variant(FlagAttr(e, a.Name)));
                break;
            }
        }
    }
    return table.Release();
}

template <size_t N>
Variant ReadChildren(const TAutoObject& parent, const char* xpath, LONG attrCount, const TAttr (&attrs)[N],
                     LONG childIndex, Variant (*readChildren)(const TAutoObject&)) {
    const std::vector<TAutoObject> elements = Select(parent, xpath);
    return elements.empty() ? Variant() : ReadLevel(elements, attrCount, attrs, childIndex, readChildren);
}

constexpr TAttr FieldAttrs[] = {{faName, "Name", TAttr::Text},         {faFixed, "Fixed", TAttr::Flag},
                                {faPredefined, "Predefined", TAttr::Flag}, {faType, "Type", TAttr::Integer},
                                {faFormat, "Format", TAttr::Text},     {faIsParameter, "IsParameter", TAttr::Text},
                                {faPrefix, "Prefix", TAttr::Text},     {faPostfix, "Postfix", TAttr::Text},
                                {faValue, "Value", TAttr::Text}};
constexpr TAttr CompositeFieldAttrs[] = {
    {cfFixed, "Fixed", TAttr::Flag},           {cfResizable, "Resizable", TAttr::Flag},
    {cfLength, "Length", TAttr::Integer},      {cfHorizontalAlign, "HorizontalAlign", TAttr::Integer},
    {cfVerticalAlign, "VerticalAlign", TAttr::Integer}, {cfTextPlacement, "TextPlacement", TAttr::Integer},
    {cfSize, "Size", TAttr::Integer},          {cfBold, "Bold", TAttr::Flag},
    {cfItalic, "Italic", TAttr::Flag},         {cfUnderline, "Underline", TAttr::Flag},
    {cfInversion, "Inversion", TAttr::Flag}};
constexpr TAttr CompositeStringAttrs[] = {{csFixed, "Fixed", TAttr::Flag},
                                          {csMinRows, "MinRows", TAttr::Integer},
                                          {csMaxRows, "MaxRows", TAttr::Integer},
                                          {csPrintEmptyData, "PrintEmptyData", TAttr::Flag}};
constexpr TAttr SectionAttrs[] = {
    {saName, "Name", TAttr::Text}, {saFixed, "Fixed", TAttr::Flag}, {saPredefined, "Predefined", TAttr::Flag}};

Variant ReadFields(const TAutoObject& compositeField) {
    return ReadChildren(compositeField, ".//Field", FieldAttrCount, FieldAttrs, 0, nullptr);
}
Variant ReadCompositeFields(const TAutoObject& compositeString) {
    return ReadChildren(compositeString, ".//CompositeField", CompositeFieldAttrCount, CompositeFieldAttrs, cfFields,
                        &ReadFields);
}
Variant ReadCompositeStrings(const TAutoObject& section) {
    return ReadChildren(section, ".//CompositeString", CompositeStringAttrCount, CompositeStringAttrs,
                        csCompositeFields, &ReadCompositeFields);
}

bool IsExistingFile(const WString& source) {
    if (source.empty() || source.find(u'<') != WString::npos)
        return false;
    const DWORD attributes = GetFileAttributesA(WideToAnsi(source).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

void LoadTemplateXml(const WString& Source, LONG& Number, WString& Description, Variant& Result) {
    Result.Reset();
    TAutoObject document = TAutoObject::Create("Msxml2.DOMDocument");
    if (!document)
        document = TAutoObject::Create("MSXML.DOMDocument");
    if (!document)
        throw ETemplateError(templatetexts::NoXmlDom);
    // A file is read to the end before Load returns, not in the background.
    document.Put("async", Variant(false));
    if (IsExistingFile(Source))
        document.Call("Load", {Variant(Source)});
    else
        document.Call("LoadXML", {Variant(Source)});
    const TAutoObject root = document.Object("SelectSingleNode", {Variant::FromUtf8("//Template")});
    if (!root)
        return;
    if (Number < 0)
        Number = IntegerAttr(root, "Number");
    Description = TextAttr(root, "Description");
    const std::vector<TAutoObject> sections = Select(root, ".//Section");
    if (sections.empty())
        return; // templatetexts::EmptySectionList: the template has nothing to print
    Variant table = ReadLevel(sections, SectionAttrCount, SectionAttrs, saCompositeStrings, &ReadCompositeStrings);
    Result = MakeVariantArray({Variant(Number), Variant(Description), std::move(table)});
}
