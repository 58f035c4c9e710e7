#include "framework/uCommonUtils.h"

#include "framework/uEquipmentErrors.h"

#include <cstdio>
#include <new>

// ---------------------------------------------------------------------------------------------
// Text

namespace {

WString ToWide(UINT codePage, std::string_view text) {
    if (text.empty())
        return {};
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0)
        return {};
    WString result(static_cast<std::size_t>(n), WCHAR(0));
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(), n);
    return result;
}

std::string FromWide(UINT codePage, WStringView text) {
    if (text.empty())
        return {};
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                nullptr);
    if (n <= 0)
        return {};
    std::string result(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(), n, nullptr,
                        nullptr);
    return result;
}

bool IsPlainNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsAsciiAlnum(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

} // namespace

WString Utf8ToWide(std::string_view utf8) { return ToWide(CP_UTF8, utf8); }
std::string WideToUtf8(WStringView wide) { return FromWide(CP_UTF8, wide); }
WString AnsiToWide(std::string_view ansi) { return ToWide(CP_ACP, ansi); }
std::string WideToAnsi(WStringView wide) { return FromWide(CP_ACP, wide); }
std::string Utf8ToAnsi(std::string_view utf8) { return WideToAnsi(Utf8ToWide(utf8)); }
std::string AnsiToUtf8(std::string_view ansi) { return WideToUtf8(AnsiToWide(ansi)); }

std::string ToShortString(std::string_view ansi) { return std::string(ansi.substr(0, ShortStringMax)); }

TNameMatcher::TNameMatcher(std::string_view name) : FName(name) {
    for (char c : name)
        FPlain = FPlain && IsPlainNameChar(c);
}

bool TNameMatcher::Matches(std::string_view other) const {
    // Member and parameter names are plain Latin identifiers almost always, and the lookup runs
    // on every host call, so the system comparison is reached only when ASCII cannot decide.
    // Two different Latin letters or digits in front never compare equal: the system comparison
    // neither ignores nor expands them.
    const std::string_view& a = FName;
    if (!a.empty() && !other.empty() && IsAsciiAlnum(a[0]) && IsAsciiAlnum(other[0]) &&
        AsciiLower(a[0]) != AsciiLower(other[0]))
        return false;
    if (a.size() == other.size()) {
        std::size_t i = 0;
        while (i < a.size() && AsciiLower(a[i]) == AsciiLower(other[i]))
            ++i;
        if (i == a.size())
            return true;
    }
    if (FPlain) {
        if (other.empty())
            return false;
        bool plain = true;
        for (char c : other)
            plain = plain && IsPlainNameChar(c);
        if (plain)
            return false;
    }
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), other.data(),
                          static_cast<int>(other.size())) == CSTR_EQUAL;
}

bool SameName(std::string_view a, std::string_view b) { return TNameMatcher(a).Matches(b); }

// ---------------------------------------------------------------------------------------------
// Exceptions

EInputError::EInputError() : EDriverError(ErrorMessageUtf8(ErrInvalidParameters)) {}

namespace {
std::string HResultText(const char* what, HRESULT hr) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
    return std::string(what) + " (" + code + ")";
}
} // namespace

EComError::EComError(HRESULT hr, const char* what) : EDriverError(HResultText(what, hr)), FCode(hr) {}

EConversionError::EConversionError(HRESULT hr, VARTYPE from, VARTYPE to)
    : EDriverError(HResultText(("Ошибка преобразования значения типа " + std::to_string(from) + " в тип " +
                                std::to_string(to))
                                   .c_str(),
                               hr)),
      FCode(hr) {}

void CheckHResult(HRESULT hr, const char* what) {
    if (FAILED(hr))
        throw EComError(hr, what);
}

TCaughtError DescribeCurrentException() noexcept {
    try {
        try {
            throw;
        } catch (const EDriverError& e) {
            return {e.ClassName(), e.what()};
        } catch (const std::bad_alloc&) {
            return {"EOutOfMemory", "Недостаточно памяти"};
        } catch (const std::exception& e) {
            return {"Exception", e.what()};
        } catch (...) {
            return {"Exception", ErrorMessageUtf8(ErrUnknown)};
        }
    } catch (...) {
        return {};
    }
}

// ---------------------------------------------------------------------------------------------
// BStr

BStr::BStr(WStringView text) {
    FStr = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!FStr)
        throw std::bad_alloc();
}

BStr& BStr::operator=(BStr&& other) noexcept {
    if (this != &other) {
        Reset();
        FStr = other.Detach();
    }
    return *this;
}

void BStr::Reset() noexcept {
    if (BSTR s = std::exchange(FStr, nullptr))
        SysFreeString(s);
}

BSTR* BStr::Receive() noexcept {
    Reset();
    return &FStr;
}

// ---------------------------------------------------------------------------------------------
// Variant

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

bool IsOrdinalType(VARTYPE vt) noexcept {
    switch (vt) {
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_I8:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
    case VT_BOOL:
        return true;
    default:
        return false;
    }
}

bool IsNumericType(VARTYPE vt) noexcept { return IsOrdinalType(vt) || vt == VT_R4 || vt == VT_R8 || vt == VT_CY; }

bool IsStringType(VARTYPE vt) noexcept { return vt == VT_BSTR; }

// ---------------------------------------------------------------------------------------------
// SafeArray and builders

SafeArray& SafeArray::operator=(SafeArray&& other) noexcept {
    if (this != &other) {
        Reset();
        FArray = other.Detach();
    }
    return *this;
}

void SafeArray::Reset() noexcept {
    if (SAFEARRAY* a = std::exchange(FArray, nullptr))
        SafeArrayDestroy(a);
}

SafeArray SafeArray::CreateVector(LONG count) {
    SAFEARRAY* a = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(count));
    if (!a)
        throw std::bad_alloc();
    return SafeArray(a);
}

SafeArray SafeArray::Create2D(LONG count1, LONG count2) {
    SAFEARRAYBOUND bounds[2];
    bounds[0].cElements = static_cast<ULONG>(count1);
    bounds[0].lLbound = 0;
    bounds[1].cElements = static_cast<ULONG>(count2);
    bounds[1].lLbound = 0;
    SAFEARRAY* a = SafeArrayCreate(VT_VARIANT, 2, bounds);
    if (!a)
        throw std::bad_alloc();
    return SafeArray(a);
}

namespace {
// Moves a value into an element of a Variant array.
void PutMoved(SAFEARRAY* array, LONG* indices, Variant&& value) {
    void* cell = nullptr;
    CheckHResult(SafeArrayPtrOfIndex(array, indices, &cell), "SafeArrayPtrOfIndex");
    auto* element = static_cast<VARIANT*>(cell);
    VariantClear(element);
    *element = value.Detach();
}
} // namespace

Variant MakeVariantArray(std::vector<Variant>&& items) {
    SafeArray a = SafeArray::CreateVector(static_cast<LONG>(items.size()));
    for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i)
        PutMoved(a.Get(), &i, std::move(items[static_cast<std::size_t>(i)]));
    return Variant::FromArray(a.Detach());
}

Variant MakeVariantArray(std::initializer_list<Variant> items) {
    return MakeVariantArray(std::vector<Variant>(items));
}

VariantArray2D::VariantArray2D(LONG count1, LONG count2)
    : FArray(SafeArray::Create2D(count1, count2)) {}

void VariantArray2D::Set(LONG i, LONG j, Variant value) {
    LONG indices[2] = {i, j};
    PutMoved(FArray.Get(), indices, std::move(value));
}

Variant VariantArray2D::Release() { return Variant::FromArray(FArray.Detach()); }

// ---------------------------------------------------------------------------------------------
// ArrayReader

bool ArrayReader::IsArray(const VARIANT& value) noexcept {
    if (!(value.vt & VT_ARRAY))
        return false;
    return (value.vt & VT_BYREF) ? (value.pparray && *value.pparray) : value.parray != nullptr;
}

ArrayReader::ArrayReader(const VARIANT& value) {
    if (!IsArray(value))
        throw EInputError();
    FArray = (value.vt & VT_BYREF) ? *value.pparray : value.parray;
    FElementType = static_cast<VARTYPE>(value.vt & VT_TYPEMASK);
}

UINT ArrayReader::Dims() const noexcept { return SafeArrayGetDim(FArray); }

LONG ArrayReader::Lower(UINT dim) const {
    LONG b = 0;
    CheckHResult(SafeArrayGetLBound(FArray, dim, &b), "SafeArrayGetLBound");
    return b;
}

LONG ArrayReader::Upper(UINT dim) const {
    LONG b = 0;
    CheckHResult(SafeArrayGetUBound(FArray, dim, &b), "SafeArrayGetUBound");
    return b;
}

Variant ArrayReader::Item(LONG i) const { return ItemAt(&i, 1); }

Variant ArrayReader::Item(LONG i, LONG j) const {
    LONG indices[2] = {i, j};
    return ItemAt(indices, 2);
}

Variant ArrayReader::ItemAt(const LONG* indices, UINT count) const {
    if (count != Dims())
        throw EInputError();
    LONG* idx = const_cast<LONG*>(indices);
    Variant r;
    if (FElementType == VT_VARIANT) {
        CheckHResult(SafeArrayGetElement(FArray, idx, r.Get()), "SafeArrayGetElement");
        if (r.Type() & VT_BYREF)
            return Variant::CopyIndOf(r.Raw());
        return r;
    }
    switch (FElementType) {
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_I8:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_BOOL:
    case VT_ERROR:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN: {
        // The element lands in the value part of the VARIANT; strings and interfaces arrive
        // as copies owned by r from here on.
        VARIANT* raw = r.Get();
        CheckHResult(SafeArrayGetElement(FArray, idx, &raw->llVal), "SafeArrayGetElement");
        raw->vt = FElementType;
        return r;
    }
    default:
        return r;
    }
}
