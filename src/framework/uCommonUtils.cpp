#include "framework/uCommonUtils.h"

namespace {

bool IsPlainNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsAsciiAlnum(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

} // namespace

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
