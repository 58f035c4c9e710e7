#include "framework/uLogText.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

std::string DecimalSeparator() {
    char buf[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, sizeof buf) > 1)
        return buf;
    return ".";
}

std::string QuotedText(WStringView text) {
    std::string ansi = WideToAnsi(text);
    std::string out;
    out.reserve(ansi.size() + 2);
    out += '\'';
    for (std::size_t i = 0; i < ansi.size(); ++i) {
        // A line break inside a value must not break the log line.
        if (ansi[i] == '\r' && i + 1 < ansi.size() && ansi[i + 1] == '\n') {
            out += "\\n";
            ++i;
        } else {
            out += ansi[i];
        }
    }
    out += '\'';
    return out;
}

std::string StandardText(const VARIANT& value) {
    try {
        return Variant::Converted(value, VT_BSTR).AsAnsi();
    } catch (...) {
        return {};
    }
}

template <class T>
std::string Decimal(T value) {
    return std::to_string(value);
}

std::string DimensionText(const ArrayReader& reader, UINT dim, std::vector<LONG>& indices) {
    std::string out = "(";
    const LONG lower = reader.Lower(dim);
    const std::int64_t count = reader.Count(dim);
    for (std::int64_t n = 0; n < count; ++n) {
        indices[dim - 1] = static_cast<LONG>(lower + n);
        if (dim > 1) {
            out += DimensionText(reader, dim - 1, indices);
        } else {
            Variant item;
            try {
                item = reader.ItemAt(indices.data(), static_cast<UINT>(indices.size()));
            } catch (...) {
            }
            out += VariantToLogText(item);
            if (n + 1 != count)
                out += "; ";
        }
    }
    out += ")";
    return out;
}

} // namespace

std::string FloatToLogText(double value) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    std::string raw(buf, res.ptr);
    std::string out;
    const std::string sep = DecimalSeparator();
    for (std::size_t i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        if (c == '.') {
            out += sep;
        } else if (c == 'e') {
            // 1e+20 reads as 1E20, 1e-05 as 1E-5.
            out += 'E';
            std::size_t j = i + 1;
            if (j < raw.size() && (raw[j] == '+' || raw[j] == '-')) {
                if (raw[j] == '-')
                    out += '-';
                ++j;
            }
            while (j + 1 < raw.size() && raw[j] == '0')
                ++j;
            out.append(raw, j, std::string::npos);
            break;
        } else {
            out += c;
        }
    }
    return out;
}

std::string ArrayToLogText(SAFEARRAY* array, VARTYPE elementType) {
    if (!array)
        return "[]";
    VARIANT holder;
    VariantInit(&holder);
    holder.vt = static_cast<VARTYPE>(VT_ARRAY | elementType);
    holder.parray = array;
    return ArrayToLogText(holder);
}

std::string ArrayToLogText(const VARIANT& array) {
    if (!ArrayReader::IsArray(array))
        return "[]";
    try {
        ArrayReader reader(array);
        const UINT dims = reader.Dims();
        if (dims == 0)
            return "[]";
        std::vector<LONG> indices(dims, 0);
        std::string out = "[";
        out += DimensionText(reader, dims, indices);
        out += ']';
        return out;
    } catch (...) {
        return "[]";
    }
}

std::string VariantToLogText(const VARIANT& value) {
    const VARTYPE vt = value.vt;
    if (vt & VT_ARRAY)
        return ArrayToLogText(value);
    if (vt == (VT_BYREF | VT_VARIANT))
        return value.pvarVal ? StandardText(*value.pvarVal) : std::string();
    if (vt & VT_BYREF) {
        try {
            return VariantToLogText(Variant::CopyIndOf(value));
        } catch (...) {
            return {};
        }
    }
    switch (vt) {
    case VT_EMPTY:
        return "EMPTY";
    case VT_NULL:
        return "NULL";
    case VT_I1:
        return Decimal(static_cast<int>(value.cVal));
    case VT_I2:
        return Decimal(value.iVal);
    case VT_UI2:
        return Decimal(value.uiVal);
    case VT_I4:
        return Decimal(value.lVal);
    case VT_UI4:
        return Decimal(value.ulVal);
    case VT_INT:
        return Decimal(value.intVal);
    case VT_UINT:
        return Decimal(value.uintVal);
    case VT_I8:
        return Decimal(static_cast<long long>(value.llVal));
    case VT_UI8:
        return Decimal(static_cast<unsigned long long>(value.ullVal));
    case VT_R4:
        return FloatToLogText(value.fltVal);
    case VT_R8:
        return FloatToLogText(value.dblVal);
    case VT_CY:
        return FloatToLogText(static_cast<double>(value.cyVal.int64) / 10000.0);
    case VT_DATE:
    case VT_BOOL:
        return StandardText(value);
    case VT_BSTR:
        return QuotedText(value.bstrVal ? WStringView(value.bstrVal, SysStringLen(value.bstrVal)) : WStringView());
    case VT_DISPATCH:
    case VT_UNKNOWN: {
        char buf[24];
        std::snprintf(buf, sizeof buf, "$%08llX",
                      static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(value.punkVal)));
        return buf;
    }
    case VT_UI1:
        return std::string(1, static_cast<char>(value.bVal));
    default:
        return {};
    }
}
