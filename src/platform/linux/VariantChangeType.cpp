// Conversions between variant types with the automation runtime's rules: integers round half to
// even and overflow rather than wrap, text is read and written with the regional settings of the
// LCID, and an object converts through its default (DISPID_VALUE) property.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

#include "OleAutoInternal.h"

using namespace platform::oleaut;

namespace {

using Int = __int128;

constexpr double kMaxCurrency = 922337203685477.5807;
constexpr double kMinCurrency = -922337203685477.5808;
constexpr LONGLONG kCurrencyScale = 10000;
// Objects whose default property yields another object are followed this far, no further.
constexpr int kMaxValueDepth = 8;

// The scalar a source variant holds, reduced to the few kinds the rules distinguish.
struct Source {
    enum Kind { Empty, Null, Integer, Bool, Real, Date, Currency, Decimal, Text, Object, Other } kind = Other;
    VARTYPE vt = VT_EMPTY;
    Int integer = 0;
    double real = 0;
    LONGLONG currency = 0;
    DECIMAL decimal{};
    std::u16string_view text;
    IUnknown* object = nullptr;
};

Source Classify(const VARIANT& v) {
    Source s;
    s.vt = v.vt;
    switch (v.vt) {
    case VT_EMPTY: s.kind = Source::Empty; break;
    case VT_NULL: s.kind = Source::Null; break;
    case VT_I1: s.kind = Source::Integer; s.integer = v.cVal; break;
    case VT_I2: s.kind = Source::Integer; s.integer = v.iVal; break;
    case VT_I4: s.kind = Source::Integer; s.integer = v.lVal; break;
    case VT_INT: s.kind = Source::Integer; s.integer = v.intVal; break;
    case VT_I8: s.kind = Source::Integer; s.integer = v.llVal; break;
    case VT_UI1: s.kind = Source::Integer; s.integer = v.bVal; break;
    case VT_UI2: s.kind = Source::Integer; s.integer = v.uiVal; break;
    case VT_UI4: s.kind = Source::Integer; s.integer = v.ulVal; break;
    case VT_UINT: s.kind = Source::Integer; s.integer = v.uintVal; break;
    case VT_UI8: s.kind = Source::Integer; s.integer = v.ullVal; break;
    case VT_BOOL: s.kind = Source::Bool; s.integer = v.boolVal; break;
    case VT_R4: s.kind = Source::Real; s.real = v.fltVal; break;
    case VT_R8: s.kind = Source::Real; s.real = v.dblVal; break;
    case VT_DATE: s.kind = Source::Date; s.real = v.date; break;
    case VT_CY: s.kind = Source::Currency; s.currency = v.cyVal.int64; break;
    case VT_DECIMAL: s.kind = Source::Decimal; s.decimal = v.decVal; break;
    case VT_BSTR: s.kind = Source::Text; s.text = StringOf(v.bstrVal); break;
    case VT_DISPATCH:
    case VT_UNKNOWN: s.kind = Source::Object; s.object = v.punkVal; break;
    default: break;
    }
    return s;
}

struct IntegerType {
    Int min, max;
    int bits;
    bool isSigned;
};

IntegerType IntegerTypeOf(VARTYPE vt) {
    switch (vt) {
    case VT_I1: return {-128, 127, 8, true};
    case VT_UI1: return {0, 255, 8, false};
    case VT_I2: return {-32768, 32767, 16, true};
    case VT_UI2: return {0, 65535, 16, false};
    case VT_I4:
    case VT_INT: return {INT32_MIN, INT32_MAX, 32, true};
    case VT_UI4:
    case VT_UINT: return {0, UINT32_MAX, 32, false};
    case VT_I8: return {INT64_MIN, INT64_MAX, 64, true};
    default: return {0, UINT64_MAX, 64, false};
    }
}

bool IsIntegerType(VARTYPE vt);

// Integers of the same width but opposite signedness convert bit for bit, as the runtime does.
bool IsSameWidthCounterpart(VARTYPE from, const IntegerType& to) {
    if (!IsIntegerType(from))
        return false;
    const IntegerType source = IntegerTypeOf(from);
    return source.bits == to.bits && source.isSigned != to.isSigned;
}

bool IsIntegerType(VARTYPE vt) {
    return vt == VT_I1 || vt == VT_UI1 || vt == VT_I2 || vt == VT_UI2 || vt == VT_I4 || vt == VT_UI4 || vt == VT_INT ||
           vt == VT_UINT || vt == VT_I8 || vt == VT_UI8;
}

// ---- Decimal ----------------------------------------------------------------------------------

constexpr unsigned __int128 kDecimalLimit = static_cast<unsigned __int128>(1) << 96;

ParsedNumber NumberOfDecimal(const DECIMAL& d) {
    ParsedNumber n;
    unsigned __int128 mantissa = (static_cast<unsigned __int128>(d.Hi32) << 64) | d.Lo64;
    n.negative = (d.sign & DECIMAL_NEG) && mantissa;
    int exponent = -d.scale;
    while (mantissa && mantissa % 10 == 0) {
        mantissa /= 10;
        ++exponent;
    }
    for (; mantissa; mantissa /= 10)
        n.digits.insert(n.digits.begin(), static_cast<char>('0' + static_cast<int>(mantissa % 10)));
    n.exponent = n.digits.empty() ? 0 : exponent;
    return n;
}

// The decimal nearest the number, dropping digits beyond its 28 places or 96 bits half to even.
HRESULT DecimalOfNumber(const ParsedNumber& n, DECIMAL& out) {
    const int length = static_cast<int>(n.digits.size());
    if (length + n.exponent > 29)
        return DISP_E_OVERFLOW;
    // Only places after the point may be dropped.
    const int places = std::max(0, -n.exponent);
    for (int drop = std::max({0, places - 28, length - 29}); drop <= std::min(length, places); ++drop) {
        unsigned __int128 mantissa = 0;
        for (int i = 0; i < length - drop; ++i)
            mantissa = mantissa * 10 + (n.digits[i] - '0');
        for (int i = 0; i < n.exponent; ++i)
            mantissa *= 10;
        if (drop > 0) {
            const int first = n.digits[length - drop] - '0';
            const bool above = first > 5 || (first == 5 && drop > 1);
            if (above || (first == 5 && (mantissa & 1)))
                ++mantissa;
        }
        if (mantissa >= kDecimalLimit)
            continue;
        out = DECIMAL{};
        const int scale = std::max(0, -n.exponent - drop);
        out.scale = static_cast<BYTE>(scale);
        out.sign = n.negative && mantissa ? DECIMAL_NEG : 0;
        out.Hi32 = static_cast<ULONG>(mantissa >> 64);
        out.Lo64 = static_cast<ULONGLONG>(mantissa);
        return S_OK;
    }
    return DISP_E_OVERFLOW;
}

ParsedNumber NumberOfInteger(Int value) {
    ParsedNumber n;
    n.negative = value < 0;
    std::u16string text = FormatInteger(value < 0 ? -value : value);
    if (text != u"0")
        n.digits.assign(text.begin(), text.end());
    while (!n.digits.empty() && n.digits.back() == '0') {
        n.digits.pop_back();
        ++n.exponent;
    }
    return n;
}

// ---- Scalar targets ---------------------------------------------------------------------------

HRESULT ParseText(const Source& s, const LocaleData& locale, ParsedNumber& n) {
    return ParseNumber(s.text, locale, n);
}

// &H and &O literals outside the integer types count only up to the largest 32-bit integer.
HRESULT RadixAsDouble(const ParsedNumber& n, double& out) {
    if (n.radixValue > INT32_MAX)
        return DISP_E_OVERFLOW;
    out = static_cast<double>(n.radixValue);
    return S_OK;
}

HRESULT ToDouble(const Source& s, const LocaleData& locale, double& out) {
    switch (s.kind) {
    case Source::Empty: out = 0; return S_OK;
    case Source::Integer:
    case Source::Bool: out = static_cast<double>(s.integer); return S_OK;
    case Source::Real:
    case Source::Date: out = s.real; return S_OK;
    case Source::Currency: out = static_cast<double>(s.currency) / kCurrencyScale; return S_OK;
    case Source::Decimal: return NumberToDouble(NumberOfDecimal(s.decimal), out);
    case Source::Text: {
        ParsedNumber n;
        HRESULT hr = ParseText(s, locale, n);
        if (FAILED(hr))
            return hr;
        return n.radixLiteral ? RadixAsDouble(n, out) : NumberToDouble(n, out);
    }
    default: return DISP_E_TYPEMISMATCH;
    }
}

HRESULT IntegerFromDouble(double d, const IntegerType& type, Int& out) {
    // Halves round to even, so the range reaches half a unit beyond each end.
    if (std::isnan(d) || d < static_cast<double>(type.min) - 0.5 || d >= static_cast<double>(type.max) + 0.5)
        return DISP_E_OVERFLOW;
    const Int value = static_cast<Int>(std::nearbyint(d));
    if (value < type.min || value > type.max)
        return DISP_E_OVERFLOW;
    out = value;
    return S_OK;
}

Int RoundCurrency(LONGLONG cy) {
    Int whole = cy / kCurrencyScale;
    const LONGLONG rest = cy % kCurrencyScale;
    const LONGLONG half = kCurrencyScale / 2;
    const LONGLONG magnitude = rest < 0 ? -rest : rest;
    if (magnitude > half || (magnitude == half && (whole & 1)))
        whole += cy < 0 ? -1 : 1;
    return whole;
}

HRESULT ToInteger(const Source& s, const LocaleData& locale, const IntegerType& type, Int& out) {
    Int value = 0;
    switch (s.kind) {
    case Source::Empty: out = 0; return S_OK;
    case Source::Integer:
        value = s.integer;
        if (IsSameWidthCounterpart(s.vt, type)) {
            const Int span = static_cast<Int>(1) << type.bits;
            value = type.isSigned ? (value > type.max ? value - span : value) : (value < 0 ? value + span : value);
        }
        break;
    case Source::Bool:
        // True is all bits set: 255 as a byte, as Basic has it.
        value = type.isSigned ? s.integer : (s.integer & ((static_cast<Int>(1) << type.bits) - 1));
        break;
    case Source::Real:
    case Source::Date: return IntegerFromDouble(s.real, type, out);
    case Source::Currency: value = RoundCurrency(s.currency); break;
    case Source::Decimal:
        return NumberToInteger(NumberOfDecimal(s.decimal), type.min, type.max, out) ? S_OK : DISP_E_OVERFLOW;
    case Source::Text: {
        ParsedNumber n;
        HRESULT hr = ParseText(s, locale, n);
        if (FAILED(hr))
            return hr;
        if (!n.radixLiteral)
            return NumberToInteger(n, type.min, type.max, out) ? S_OK : DISP_E_OVERFLOW;
        // A literal is a bit pattern: &HFFFF is -1 as a 16-bit integer.
        const Int span = static_cast<Int>(1) << type.bits;
        value = n.radixValue;
        if (value >= span)
            return DISP_E_OVERFLOW;
        if (type.isSigned && value > type.max)
            value -= span;
        break;
    }
    default: return DISP_E_TYPEMISMATCH;
    }
    if (value < type.min || value > type.max)
        return DISP_E_OVERFLOW;
    out = value;
    return S_OK;
}

HRESULT CurrencyFromDouble(double d, LONGLONG& out) {
    if (std::isnan(d) || d >= kMaxCurrency || d < kMinCurrency)
        return DISP_E_OVERFLOW;
    // The product is exact in extended precision, so the rounding sees the true half.
    const long double scaled = std::nearbyint(static_cast<long double>(d) * kCurrencyScale);
    if (scaled < -9223372036854775808.0L || scaled > 9223372036854775807.0L)
        return DISP_E_OVERFLOW;
    out = static_cast<LONGLONG>(scaled);
    return S_OK;
}

HRESULT ToCurrency(const Source& s, const LocaleData& locale, LONGLONG& out) {
    switch (s.kind) {
    case Source::Integer:
    case Source::Bool:
        if (s.integer > INT64_MAX / kCurrencyScale || s.integer < INT64_MIN / kCurrencyScale)
            return DISP_E_OVERFLOW;
        out = static_cast<LONGLONG>(s.integer) * kCurrencyScale;
        return S_OK;
    case Source::Decimal: {
        ParsedNumber n = NumberOfDecimal(s.decimal);
        if (!n.digits.empty())
            n.exponent += 4;
        Int value = 0;
        if (!NumberToInteger(n, INT64_MIN, INT64_MAX, value))
            return DISP_E_OVERFLOW;
        out = static_cast<LONGLONG>(value);
        return S_OK;
    }
    default: {
        double d = 0;
        HRESULT hr = ToDouble(s, locale, d);
        return FAILED(hr) ? hr : CurrencyFromDouble(d, out);
    }
    }
}

HRESULT CheckDate(double d) {
    return std::isnan(d) || d <= kMinDate - 1.0 || d >= kMaxDate + 1.0 ? DISP_E_OVERFLOW : S_OK;
}

HRESULT ToDate(const Source& s, const LocaleData& locale, double& out) {
    if (s.kind == Source::Text)
        return ParseDate(s.text, locale, out);
    HRESULT hr = ToDouble(s, locale, out);
    return FAILED(hr) ? hr : CheckDate(out);
}

bool SameWordIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'a' && x <= u'z')
            x -= 0x20;
        if (y >= u'a' && y <= u'z')
            y -= 0x20;
        if (x != y)
            return false;
    }
    return true;
}

HRESULT ToBool(const Source& s, const LocaleData& locale, VARIANT_BOOL& out) {
    if (s.kind == Source::Text) {
        if (SameWordIgnoringCase(s.text, u"True") || SameWordIgnoringCase(s.text, u"#TRUE#")) {
            out = VARIANT_TRUE;
            return S_OK;
        }
        if (SameWordIgnoringCase(s.text, u"False") || SameWordIgnoringCase(s.text, u"#FALSE#")) {
            out = VARIANT_FALSE;
            return S_OK;
        }
    }
    bool nonZero = false;
    switch (s.kind) {
    case Source::Empty: break;
    case Source::Integer:
    case Source::Bool: nonZero = s.integer != 0; break;
    case Source::Currency: nonZero = s.currency != 0; break;
    case Source::Decimal: nonZero = !NumberOfDecimal(s.decimal).digits.empty(); break;
    default: {
        double d = 0;
        HRESULT hr = ToDouble(s, locale, d);
        if (FAILED(hr))
            return hr;
        nonZero = d != 0;
        break;
    }
    }
    out = nonZero ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT ToDecimal(const Source& s, const LocaleData& locale, DECIMAL& out) {
    ParsedNumber n;
    switch (s.kind) {
    case Source::Empty: break;
    case Source::Integer:
    case Source::Bool: n = NumberOfInteger(s.integer); break;
    case Source::Currency:
        n = NumberOfInteger(s.currency);
        if (!n.digits.empty())
            n.exponent -= 4;
        break;
    case Source::Text: {
        HRESULT hr = ParseText(s, locale, n);
        if (FAILED(hr))
            return hr;
        if (n.radixLiteral)
            n = NumberOfInteger(n.radixValue);
        break;
    }
    case Source::Real:
    case Source::Date: {
        // A double carries fifteen trustworthy digits; the decimal gets those and no noise.
        if (!std::isfinite(s.real))
            return DISP_E_OVERFLOW;
        static const LocaleData* invariant = FindLocale(LOCALE_INVARIANT);
        HRESULT hr = ParseNumber(FormatReal(s.real, 15, *invariant), *invariant, n);
        if (FAILED(hr))
            return hr;
        break;
    }
    default: return DISP_E_TYPEMISMATCH;
    }
    return DecimalOfNumber(n, out);
}

HRESULT ToText(const Source& s, const LocaleData& locale, USHORT flags, std::u16string& out) {
    if (s.kind == Source::Empty) {
        out.clear();
        return S_OK;
    }
    if (s.kind == Source::Integer) {
        out = FormatInteger(s.integer);
        return S_OK;
    }
    if (s.kind == Source::Bool) {
        if (flags & VARIANT_LOCALBOOL) {
            out = s.integer ? locale.trueName : locale.falseName;
        } else if (flags & VARIANT_ALPHABOOL) {
            out = s.integer ? u"True" : u"False";
        } else {
            out = FormatInteger(s.integer);
        }
        return S_OK;
    }
    switch (s.kind) {
    case Source::Real: out = FormatReal(s.real, s.vt == VT_R4 ? 7 : 15, locale); return S_OK;
    case Source::Date: return FormatDate(s.real, locale, out);
    case Source::Currency: out = FormatCurrency(s.currency, locale); return S_OK;
    case Source::Decimal: {
        const ParsedNumber n = NumberOfDecimal(s.decimal);
        std::u16string digits(n.digits.begin(), n.digits.end());
        if (digits.empty()) {
            out = u"0";
            return S_OK;
        }
        if (n.exponent >= 0) {
            digits.append(static_cast<size_t>(n.exponent), u'0');
        } else {
            const size_t places = static_cast<size_t>(-n.exponent);
            if (digits.size() <= places)
                digits.insert(0, places - digits.size() + 1, u'0');
            digits.insert(digits.size() - places, locale.decimal);
        }
        out = n.negative ? u"-" + digits : digits;
        return S_OK;
    }
    default: return DISP_E_TYPEMISMATCH;
    }
}

// ---- Dispatch ---------------------------------------------------------------------------------

HRESULT Coerce(VARIANT& out, const VARIANT& in, LCID lcid, const LocaleData& locale, USHORT flags, VARTYPE vt,
               int depth);

// An object converts through its default property, read with DISPID_VALUE.
HRESULT CoerceValueOf(VARIANT& out, const Source& s, LCID lcid, const LocaleData& locale, USHORT flags, VARTYPE vt,
                      int depth) {
    if (s.vt != VT_DISPATCH || (flags & VARIANT_NOVALUEPROP) || depth >= kMaxValueDepth)
        return DISP_E_TYPEMISMATCH;
    if (!s.object)
        return DISP_E_BADVARTYPE;
    static const IID kNoInterface{};
    DISPPARAMS noArguments{nullptr, nullptr, 0, 0};
    VARIANT value;
    value.vt = VT_EMPTY;
    HRESULT hr = static_cast<IDispatch*>(s.object)->Invoke(DISPID_VALUE, kNoInterface, lcid, DISPATCH_PROPERTYGET,
                                                           &noArguments, &value, nullptr, nullptr);
    if (FAILED(hr)) {
        VariantClear(&value);
        return DISP_E_TYPEMISMATCH;
    }
    VARIANT plain;
    plain.vt = VT_EMPTY;
    hr = VariantCopyInd(&plain, &value);
    VariantClear(&value);
    if (SUCCEEDED(hr))
        hr = (plain.vt & VT_ARRAY) ? DISP_E_TYPEMISMATCH : Coerce(out, plain, lcid, locale, flags, vt, depth + 1);
    VariantClear(&plain);
    return hr;
}

HRESULT CoerceObject(VARIANT& out, const Source& s, VARTYPE vt) {
    if (s.kind != Source::Object)
        return DISP_E_TYPEMISMATCH;
    if (vt == VT_UNKNOWN || s.vt == VT_DISPATCH || !s.object) {
        out.vt = vt;
        out.punkVal = s.object;
        if (s.object)
            s.object->AddRef();
        return S_OK;
    }
    void* dispatch = nullptr;
    HRESULT hr = s.object->QueryInterface(IID_IDispatch, &dispatch);
    if (FAILED(hr))
        return hr;
    out.vt = VT_DISPATCH;
    out.pdispVal = static_cast<IDispatch*>(dispatch);
    return S_OK;
}

HRESULT Coerce(VARIANT& out, const VARIANT& in, LCID lcid, const LocaleData& locale, USHORT flags, VARTYPE vt,
               int depth) {
    const Source s = Classify(in);
    if (s.kind == Source::Other && in.vt != vt)
        return DISP_E_TYPEMISMATCH;
    if (vt == VT_NULL) {
        out.vt = VT_NULL;
        return S_OK;
    }
    if (vt == VT_EMPTY) {
        if (s.kind == Source::Null)
            return DISP_E_TYPEMISMATCH;
        out.vt = VT_EMPTY;
        return S_OK;
    }
    if (in.vt == vt)
        return VariantCopy(&out, const_cast<VARIANT*>(&in));
    if (vt == VT_DISPATCH || vt == VT_UNKNOWN)
        return CoerceObject(out, s, vt);
    if (s.kind == Source::Object)
        return CoerceValueOf(out, s, lcid, locale, flags, vt, depth);
    if (s.kind == Source::Null)
        return DISP_E_TYPEMISMATCH;

    HRESULT hr = DISP_E_TYPEMISMATCH;
    VARIANT result;
    std::memset(&result, 0, sizeof result);
    if (IsIntegerType(vt)) {
        Int value = 0;
        hr = ToInteger(s, locale, IntegerTypeOf(vt), value);
        result.llVal = static_cast<LONGLONG>(value); // little-endian: every narrower member reads its low part
    } else {
        switch (vt) {
        case VT_R8: hr = ToDouble(s, locale, result.dblVal); break;
        case VT_R4: {
            double d = 0;
            hr = ToDouble(s, locale, d);
            if (SUCCEEDED(hr) && (std::isinf(d) || std::fabs(d) > FLT_MAX))
                hr = DISP_E_OVERFLOW;
            result.fltVal = static_cast<float>(d);
            break;
        }
        case VT_CY: hr = ToCurrency(s, locale, result.cyVal.int64); break;
        case VT_DATE: hr = ToDate(s, locale, result.date); break;
        case VT_BOOL: hr = ToBool(s, locale, result.boolVal); break;
        case VT_DECIMAL: hr = ToDecimal(s, locale, result.decVal); break;
        case VT_BSTR: {
            std::u16string text;
            hr = ToText(s, locale, flags, text);
            if (SUCCEEDED(hr) && !(result.bstrVal = AllocString(text)))
                hr = E_OUTOFMEMORY;
            break;
        }
        default: break;
        }
    }
    if (FAILED(hr))
        return hr;
    result.vt = vt;
    out = result;
    return S_OK;
}

HRESULT CoerceArray(VARIANT& out, const VARIANT& in, VARTYPE vt) {
    if (in.vt == vt) {
        out.vt = vt;
        return SafeArrayCopy(in.parray, &out.parray);
    }
    // Byte arrays and strings convert into each other byte for byte.
    if (in.vt == (VT_ARRAY | VT_UI1) && vt == VT_BSTR) {
        SAFEARRAY* bytes = in.parray;
        const UINT length = bytes && bytes->pvData ? static_cast<UINT>(bytes->rgsabound[0].cElements) : 0;
        if (bytes && bytes->cDims != 1)
            return E_INVALIDARG;
        out.bstrVal = SysAllocStringByteLen(length ? static_cast<LPCSTR>(bytes->pvData) : nullptr, length);
        if (!out.bstrVal)
            return E_OUTOFMEMORY;
        out.vt = VT_BSTR;
        return S_OK;
    }
    if (in.vt == VT_BSTR && vt == (VT_ARRAY | VT_UI1)) {
        const UINT length = SysStringByteLen(in.bstrVal);
        SAFEARRAY* bytes = SafeArrayCreateVector(VT_UI1, 0, length);
        if (!bytes)
            return E_OUTOFMEMORY;
        if (length)
            std::memcpy(bytes->pvData, in.bstrVal, length);
        out.vt = vt;
        out.parray = bytes;
        return S_OK;
    }
    return DISP_E_TYPEMISMATCH;
}

const LocaleData& LocaleFor(LCID lcid) {
    const LocaleData* locale = FindLocale(lcid);
    return locale ? *locale : FallbackLocale();
}

HRESULT ValidateTarget(VARTYPE vt) {
    const VARTYPE base = vt & VT_TYPEMASK;
    if ((vt & (VT_VECTOR | VT_RESERVED)) || !IsVariantBaseType(base))
        return DISP_E_BADVARTYPE;
    if ((vt & VT_BYREF) || (base == VT_VARIANT && !(vt & VT_ARRAY)))
        return DISP_E_TYPEMISMATCH;
    return S_OK;
}

} // namespace

extern "C" {

PLATFORM_API HRESULT VariantChangeTypeEx(VARIANTARG* pvargDest, VARIANTARG* pvarSrc, LCID lcid, USHORT wFlags,
                                         VARTYPE vt) {
    if (!pvargDest || !pvarSrc)
        return E_INVALIDARG;
    const VARTYPE sourceBase = pvarSrc->vt & VT_TYPEMASK;
    if ((pvarSrc->vt & (VT_VECTOR | VT_RESERVED)) || !IsVariantBaseType(sourceBase))
        return DISP_E_BADVARTYPE;
    HRESULT hr = ValidateTarget(vt);
    if (FAILED(hr))
        return hr;
    if ((pvarSrc->vt & VT_BYREF) && !pvarSrc->byref)
        return DISP_E_TYPEMISMATCH;

    // Work on a dereferenced copy so that the source may also be the destination.
    VARIANT source;
    source.vt = VT_EMPTY;
    hr = VariantCopyInd(&source, pvarSrc);
    if (FAILED(hr))
        return hr;
    VARIANT result;
    result.vt = VT_EMPTY;
    if (source.vt & VT_BYREF)
        hr = DISP_E_TYPEMISMATCH;
    else if ((source.vt & VT_ARRAY) || (vt & VT_ARRAY))
        hr = CoerceArray(result, source, vt);
    else
        hr = Coerce(result, source, lcid, LocaleFor(lcid), wFlags, vt, 0);
    VariantClear(&source);
    if (SUCCEEDED(hr))
        hr = VariantClear(pvargDest);
    if (FAILED(hr)) {
        VariantClear(&result);
        return hr;
    }
    *pvargDest = result;
    return S_OK;
}

PLATFORM_API HRESULT VariantChangeType(VARIANTARG* pvargDest, VARIANTARG* pvarSrc, USHORT wFlags, VARTYPE vt) {
    return VariantChangeTypeEx(pvargDest, pvarSrc, LOCALE_USER_DEFAULT, wFlags, vt);
}

} // extern "C"
