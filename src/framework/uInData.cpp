#include "framework/uInData.h"

#include "framework/uLocalClock.h"

namespace {

bool Given(const Variant& v) { return !v.IsEmpty() && !v.IsNull(); }

// Element i of a one-dimensional array, or Empty when there is none.
Variant ElementOrEmpty(const Variant& array, LONG i) {
    if (!ArrayReader::IsArray(array.Raw()))
        return Variant();
    ArrayReader reader(array.Raw());
    // An index outside the bounds, or an array of another shape, is simply not given.
    if (reader.Dims() != 1 || i < reader.Lower() || i > reader.Upper())
        return Variant();
    return reader.Item(i);
}

// The value when it is given and accepted, else the fallback.
const Variant& Source(const Variant& value, const Variant& fallback, bool (*accepts)(VARTYPE)) {
    const Variant& source = Given(value) ? value : fallback;
    return accepts(source.Type()) ? source : fallback;
}

} // namespace

bool ArrayItemPresent(const Variant& array, LONG i) { return Given(ElementOrEmpty(array, i)); }

std::string ArrayItemAsString(const Variant& array, LONG i, std::string_view defaultAnsi) {
    Variant item = ElementOrEmpty(array, i);
    return Given(item) ? item.AsAnsi() : std::string(defaultAnsi);
}

LONG ArrayItemAsInteger(const Variant& array, LONG i, LONG defaultValue) {
    Variant item = ElementOrEmpty(array, i);
    return Given(item) ? item.AsInteger() : defaultValue;
}

DATE ArrayItemAsDate(const Variant& array, LONG i) {
    Variant item = ElementOrEmpty(array, i);
    return Given(item) ? item.AsDate() : LocalNowAsDate();
}

void ReadTypedValue(const Variant& value, LONG& target, const Variant& fallback) {
    target = Source(value, fallback, IsOrdinalType).AsInteger();
}

void ReadTypedValue(const Variant& value, double& target, const Variant& fallback) {
    target = Source(value, fallback, IsNumericType).AsDouble();
}

void ReadTypedValue(const Variant& value, CY& target, const Variant& fallback) {
    target = Source(value, fallback, IsNumericType).AsCurrency();
}

void ReadTypedDate(const Variant& value, DATE& target, const Variant& fallback) {
    target = Source(value, fallback, [](VARTYPE vt) { return vt == VT_DATE; }).AsDate();
}

void ReadTypedValue(const Variant& value, bool& target, const Variant& fallback) {
    target = Source(value, fallback, [](VARTYPE vt) { return vt == VT_BOOL; }).AsBoolean();
}

void ReadTypedValue(const Variant& value, std::string& target, const Variant& fallback) {
    target = Source(value, fallback, IsStringType).AsAnsi();
}
