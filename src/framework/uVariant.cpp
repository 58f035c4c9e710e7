#include "framework/uVariant.h"

#include "framework/uBStr.h"
#include "framework/uDriverExceptions.h"

Variant::Variant(const Variant& other) : Variant() {
    CheckHResult(VariantCopy(&FValue, const_cast<VARIANT*>(&other.FValue)), "VariantCopy");
}

Variant& Variant::operator=(const Variant& other) {
    if (this != &other) {
        Variant copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
    if (this != &other) {
        Reset();
        FValue = other.FValue;
        other.FValue.vt = VT_EMPTY;
    }
    return *this;
}

Variant::Variant(WStringView text) : Variant() {
    BStr s(text);
    FValue.vt = VT_BSTR;
    FValue.bstrVal = s.Detach();
}

Variant Variant::CopyOf(const VARIANT& raw) {
    Variant r;
    CheckHResult(VariantCopy(&r.FValue, const_cast<VARIANT*>(&raw)), "VariantCopy");
    return r;
}

Variant Variant::CopyIndOf(const VARIANT& raw) {
    Variant r;
    CheckHResult(VariantCopyInd(&r.FValue, const_cast<VARIANT*>(&raw)), "VariantCopyInd");
    return r;
}

Variant Variant::TakeOver(VARIANT& raw) noexcept {
    Variant r;
    r.FValue = raw;
    raw.vt = VT_EMPTY;
    return r;
}

Variant Variant::FromI2(SHORT value) noexcept {
    Variant r;
    r.FValue.vt = VT_I2;
    r.FValue.iVal = value;
    return r;
}

Variant Variant::FromCurrency(CY value) noexcept {
    Variant r;
    r.FValue.vt = VT_CY;
    r.FValue.cyVal = value;
    return r;
}

Variant Variant::FromDate(DATE value) noexcept {
    Variant r;
    r.FValue.vt = VT_DATE;
    r.FValue.date = value;
    return r;
}

Variant Variant::FromDispatch(IDispatch* value) noexcept {
    Variant r;
    r.FValue.vt = VT_DISPATCH;
    r.FValue.pdispVal = value;
    if (value)
        value->AddRef();
    return r;
}

Variant Variant::FromArray(SAFEARRAY* array, VARTYPE elementType) noexcept {
    Variant r;
    r.FValue.vt = static_cast<VARTYPE>(VT_ARRAY | elementType);
    r.FValue.parray = array;
    return r;
}

Variant Variant::Null() noexcept {
    Variant r;
    r.FValue.vt = VT_NULL;
    return r;
}

VARIANT Variant::Detach() noexcept {
    VARIANT r = FValue;
    FValue.vt = VT_EMPTY;
    return r;
}

Variant Variant::Converted(const VARIANT& value, VARTYPE type) {
    Variant r;
    VARTYPE from = value.vt;
    if ((from & VT_BYREF) && !value.byref)
        throw EConversionError(E_INVALIDARG, from, type);
    if (type == VT_BSTR && (from & ~VT_BYREF) == VT_BOOL) {
        // Booleans read as words, the way every text of the driver shows them.
        VARIANT_BOOL b = (from & VT_BYREF) ? *value.pboolVal : value.boolVal;
        return Variant(Utf8ToWide(b ? "True" : "False"));
    }
    HRESULT hr = VariantChangeType(&r.FValue, const_cast<VARIANT*>(&value), 0, type);
    if (FAILED(hr))
        throw EConversionError(hr, from, type);
    return r;
}

LONG Variant::AsInteger() const {
    if (FValue.vt == VT_I4)
        return FValue.lVal;
    return ChangeType(VT_I4).FValue.lVal;
}

double Variant::AsDouble() const {
    if (FValue.vt == VT_R8)
        return FValue.dblVal;
    return ChangeType(VT_R8).FValue.dblVal;
}

bool Variant::AsBoolean() const {
    if (FValue.vt == VT_BOOL)
        return FValue.boolVal != VARIANT_FALSE;
    return ChangeType(VT_BOOL).FValue.boolVal != VARIANT_FALSE;
}

DATE Variant::AsDate() const {
    if (FValue.vt == VT_DATE)
        return FValue.date;
    return ChangeType(VT_DATE).FValue.date;
}

CY Variant::AsCurrency() const {
    if (FValue.vt == VT_CY)
        return FValue.cyVal;
    return ChangeType(VT_CY).FValue.cyVal;
}

WString Variant::AsWide() const {
    if (FValue.vt == VT_EMPTY)
        return {};
    if (FValue.vt == VT_BSTR)
        return FValue.bstrVal ? WString(FValue.bstrVal, SysStringLen(FValue.bstrVal)) : WString();
    Variant s = ChangeType(VT_BSTR);
    return s.AsWide();
}

std::string Variant::AsAnsi() const { return WideToAnsi(AsWide()); }
