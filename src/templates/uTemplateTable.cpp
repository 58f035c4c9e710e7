#include "templates/uTemplateTable.h"

#include "templates/uTemplateErrors.h"
#include "templates/uTemplateTexts.h"

#include <algorithm>

namespace {

const VARIANT& TwoDimensional(const VARIANT& table) {
    try {
        if (ArrayReader(table).Dims() == 2)
            return table;
    } catch (const EInputError&) {
        // Not an array, or one whose label names other elements than it holds.
    }
    throw ETemplateError(templatetexts::NotATable);
}

LONG Bound(SAFEARRAY* array, UINT dim, bool upper) {
    LONG bound = 0;
    CheckHResult(upper ? SafeArrayGetUBound(array, dim, &bound) : SafeArrayGetLBound(array, dim, &bound),
                 "SafeArrayGetBound");
    return bound;
}

Variant OwnedCopyAt(const Variant& value, int depth);

// Replaces every element that is a reference or an array by its owned copy.
void OwnElements(SAFEARRAY* array, int depth) {
    ULONG count = 1;
    for (UINT d = 1; d <= SafeArrayGetDim(array); ++d) {
        const LONG n = Bound(array, d, true) - Bound(array, d, false) + 1;
        count = n > 0 ? count * static_cast<ULONG>(n) : 0;
    }
    VARIANT* items = nullptr;
    CheckHResult(SafeArrayAccessData(array, reinterpret_cast<void**>(&items)), "SafeArrayAccessData");
    struct TUnaccess {
        SAFEARRAY* a;
        ~TUnaccess() { SafeArrayUnaccessData(a); }
    } unaccess{array};
    for (ULONG k = 0; k < count; ++k) {
        if (!(items[k].vt & (VT_BYREF | VT_ARRAY)))
            continue;
        Variant owned = OwnedCopyAt(Variant::CopyOf(items[k]), depth + 1);
        VariantClear(&items[k]);
        items[k] = owned.Detach();
    }
}

Variant OwnedCopyAt(const Variant& value, int depth) {
    if (depth > templatelimits::MaxTableDepth)
        throw ETemplateError(templatetexts::TooDeep);
    if (value.Type() & VT_BYREF)
        return OwnedCopyAt(Variant::CopyIndOf(value.Raw()), depth + 1);
    Variant copy(value);
    // The array's own element type decides: a label saying VARIANT over other elements would
    // have them walked as VARIANTs.
    if (ArrayReader::IsArray(copy.Raw()) && ArrayReader(copy.Raw()).ElementType() == VT_VARIANT)
        OwnElements(copy.Get()->parray, depth);
    return copy;
}

} // namespace

TTableReader::TTableReader(const Variant& table)
    : FReader(TwoDimensional(table.Raw())),
      FArray((table.Type() & VT_BYREF) ? *table.Raw().pparray : table.Raw().parray), FLower1(FReader.Lower(1)), FLower2(FReader.Lower(2)),
      FCount(static_cast<LONG>(std::min<std::int64_t>(FReader.Count(2), 0x7FFFFFFF))) {}

Variant TTableReader::Item(LONG attr, LONG item) const { return FReader.Item(FLower1 + attr, FLower2 + item); }

std::optional<LONG> DecimalInteger(WStringView text, bool leadingSpaces) {
    size_t i = 0;
    while (leadingSpaces && i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    if (i == text.size())
        return std::nullopt;
    long long n = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9' || n > 0x80000000LL)
            return std::nullopt;
        n = n * 10 + (text[i] - u'0');
    }
    n = negative ? -n : n;
    if (n > 0x7FFFFFFFLL || n < -0x80000000LL)
        return std::nullopt;
    return static_cast<LONG>(n);
}

bool SameTemplateName(WStringView name, WStringView otherWide, const std::string& otherAnsi) {
    // Latin and Cyrillic letters fold here, whatever the system's ANSI code page holds.
    const auto lower = [](WCHAR c) -> WCHAR {
        if ((c >= u'A' && c <= u'Z') || (c >= u'А' && c <= u'Я'))
            return static_cast<WCHAR>(c + 32);
        return c == u'Ё' ? static_cast<WCHAR>(u'ё') : c;
    };
    if (name.size() == otherWide.size()) {
        size_t i = 0;
        while (i < name.size() && lower(name[i]) == lower(otherWide[i]))
            ++i;
        if (i == name.size())
            return true;
    }
    const auto plain = [](WStringView text) {
        for (WCHAR c : text)
            if (c < 0x20 || c > 0x7E)
                return false;
        return true;
    };
    if (plain(name) && plain(otherWide))
        return false;
    // The system's comparison sees ANSI text: a name the code page cannot hold (Cyrillic under a
    // Western one) would reach it as question marks and equal any other name of its length.
    const std::string nameAnsi = WideToAnsi(name);
    if (AnsiToWide(nameAnsi) != name || AnsiToWide(otherAnsi) != otherWide)
        return false;
    return SameName(nameAnsi, otherAnsi);
}

WString ValueText(const Variant& value) {
    if (value.IsEmpty() || value.IsNull())
        return {};
    if (value.Type() == VT_BSTR)
        return value.Raw().bstrVal ? WString(value.Raw().bstrVal, SysStringLen(value.Raw().bstrVal)) : WString();
    return value.AsWide();
}

const VARIANT* TTableReader::Ref(LONG attr, LONG item) const {
    if (FReader.ElementType() != VT_VARIANT)
        return nullptr;
    LONG indices[2] = {FLower1 + attr, FLower2 + item};
    void* element = nullptr;
    CheckHResult(SafeArrayPtrOfIndex(FArray, indices, &element), "SafeArrayPtrOfIndex");
    const auto* raw = static_cast<const VARIANT*>(element);
    return (raw->vt & VT_BYREF) ? nullptr : raw;
}

WString TTableReader::Text(LONG attr, LONG item) const {
    const VARIANT* raw = Ref(attr, item);
    if (raw && raw->vt == VT_BSTR)
        return raw->bstrVal ? WString(raw->bstrVal, SysStringLen(raw->bstrVal)) : WString();
    return ValueText(raw ? AsVariant(*raw) : Item(attr, item));
}

LONG TTableReader::Integer(LONG attr, LONG item) const { return Item(attr, item).AsInteger(); }

// An empty text is a flag not set: the XML form writes an absent IsParameter so.
bool TTableReader::Flag(LONG attr, LONG item) const {
    const Variant value = Item(attr, item);
    if (IsStringType(value.Type()) && ValueText(value).empty())
        return false;
    return value.AsBoolean();
}

Variant OwnedCopy(const Variant& value) { return OwnedCopyAt(value, 0); }
