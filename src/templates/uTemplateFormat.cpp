// Field values: conversion to the field's type and formatting by the field's directives.
#include "templates/uTemplateErrors.h"
#include "templates/uTemplateLib.h"
#include "templates/uTemplateTable.h"
#include "templates/uTemplateTexts.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

WString DecimalSeparator() {
    WCHAR buffer[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8) <= 1)
        return Utf8ToWide(".");
    return WString(buffer);
}

void ReplaceAll(WString& text, WStringView what, WStringView with) {
    if (what.empty())
        return;
    for (size_t at = text.find(what); at != WString::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

int HexDigit(WCHAR c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

WString DecodeHexText(const Variant& value) {
    WString digits = ValueText(value);
    std::erase(digits, u' ');
    std::string bytes;
    bytes.reserve(digits.size() / 2);
    for (size_t i = 0; i + 1 < digits.size(); i += 2) {
        const int hi = HexDigit(digits[i]), lo = HexDigit(digits[i + 1]);
        bytes += static_cast<char>(hi < 0 || lo < 0 ? 0 : hi * 16 + lo);
    }
    return AnsiToWide(bytes);
}

// ---------------------------------------------------------------------------------------------
// Directives: "name=value" lines separated by ";".

class TDirectives {
public:
    explicit TDirectives(const WString& format) {
        size_t start = 0;
        for (;;) {
            const size_t end = format.find(u';', start);
            const WStringView line = WStringView(format).substr(start, end == WString::npos ? WString::npos : end - start);
            const size_t eq = line.find(u'=');
            if (eq != WStringView::npos)
                FLines.push_back({WString(line.substr(0, eq)), WString(line.substr(eq + 1))});
            if (end == WString::npos)
                break;
            start = end + 1;
        }
    }
    // The value of the first line with the name, if there is one.
    std::optional<WString> Value(const char* nameUtf8) const {
        const WString name = Utf8ToWide(nameUtf8);
        const std::string nameAnsi = Utf8ToAnsi(nameUtf8);
        for (const auto& [n, v] : FLines)
            if (SameTemplateName(n, name, nameAnsi))
                return v;
        return std::nullopt;
    }
    // Latin name first; the Cyrillic one when the Latin one gives no number other than -1.
    LONG Integer(const char* latin, const char* cyrillic) const {
        LONG n = IntegerOf(Value(latin));
        if (n == -1)
            n = IntegerOf(Value(cyrillic));
        return n;
    }
    WString Text(const char* latin, const char* cyrillic) const {
        WString text = Value(latin).value_or(WString());
        return text.empty() ? Value(cyrillic).value_or(WString()) : text;
    }
    bool Present(const char* latin, const char* cyrillic) const {
        return Value(latin).has_value() || Value(cyrillic).has_value();
    }

private:
    // A decimal integer (leading spaces and a sign allowed), else -1.
    static LONG IntegerOf(const std::optional<WString>& text) {
        return text ? DecimalInteger(*text, true).value_or(-1) : -1;
    }

    std::vector<std::pair<WString, WString>> FLines; // name, value
};

// ---------------------------------------------------------------------------------------------
// Fixed notation, rounded half away from zero on the number's decimal expansion (15 significant
// digits, as the number reads), with a point for the separator.

std::string FixedNotation(double x, int decimals) {
    if (std::isnan(x))
        return "NAN";
    if (std::isinf(x))
        return x < 0 ? "-INF" : "INF";
    char buffer[40];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer - 1, std::fabs(x), std::chars_format::scientific, 14);
    *written.ptr = '\0';
    std::string digits;
    for (const char* p = buffer; *p && *p != 'e'; ++p)
        if (*p != '.')
            digits += *p;
    int exponent = std::atoi(std::strchr(buffer, 'e') + 1); // value = d.dddd × 10^exponent
    if (x == 0)
        digits.assign(1, '0'), exponent = 0;
    // Digits kept: those before the point and the decimals.
    const long keep = static_cast<long>(exponent) + 1 + decimals;
    if (keep < 0) {
        digits.clear();
    } else if (keep < static_cast<long>(digits.size())) {
        const bool up = digits[static_cast<size_t>(keep)] >= '5';
        digits.resize(static_cast<size_t>(keep));
        if (up) {
            long i = keep - 1;
            for (; i >= 0 && digits[static_cast<size_t>(i)] == '9'; --i)
                digits[static_cast<size_t>(i)] = '0';
            if (i >= 0) {
                ++digits[static_cast<size_t>(i)];
            } else {
                digits.insert(digits.begin(), '1');
                ++exponent;
            }
        }
    }
    // Place the digits: integer part has exponent + 1 of them.
    const long intDigits = static_cast<long>(exponent) + 1;
    std::string integer, fraction;
    for (long i = 0; i < intDigits; ++i)
        integer += i < static_cast<long>(digits.size()) ? digits[static_cast<size_t>(i)] : '0';
    if (integer.empty())
        integer.assign(1, '0');
    for (long i = 0; i < decimals; ++i) {
        const long at = intDigits + i;
        fraction += at >= 0 && at < static_cast<long>(digits.size()) ? digits[static_cast<size_t>(at)] : '0';
    }
    const bool zero = integer.find_first_not_of('0') == std::string::npos &&
                      fraction.find_first_not_of('0') == std::string::npos;
    std::string text = (x < 0 && !zero ? "-" : "") + integer;
    if (decimals > 0)
        text += "." + fraction;
    return text;
}

WString FormatNumber(double x, const TFieldFormat& f, WString text) {
    if (f.Width > templatelimits::MaxFormatWidth || f.Decimals > templatelimits::MaxFormatWidth)
        throw ETemplateError(templatetexts::TooLarge);
    const WString& separator = f.DecimalSeparator;
    if (f.Width >= 0 || f.Decimals >= 0) {
        const std::string fixed = FixedNotation(x, std::max<LONG>(f.Decimals, 0));
        text.assign(f.Width > static_cast<LONG>(fixed.size()) ? static_cast<size_t>(f.Width) - fixed.size() : 0,
                    WCHAR(u' '));
        for (char c : fixed) { // ASCII digits, sign and a point
            if (c == '.')
                text += separator;
            else
                text += static_cast<WCHAR>(c);
        }
    }
    if (!f.Separator.empty())
        ReplaceAll(text, separator, f.Separator);
    if (f.LeadingZeros)
        std::replace(text.begin(), text.end(), WCHAR(u' '), WCHAR(u'0'));
    return text;
}

// The pattern's Cyrillic letters in their Latin meaning.
WString TranslateDatePattern(WString pattern) {
    static const std::pair<WCHAR, WCHAR> table[] = {{u'д', u'd'}, {u'М', u'M'}, {u'к', u'q'}, {u'г', u'y'},
                                                    {u'ч', u'h'}, {u'Ч', u'H'}, {u'м', u'n'}, {u'с', u's'}};
    for (WCHAR& c : pattern)
        for (const auto& [from, to] : table)
            if (c == from)
                c = to;
    return pattern;
}

} // namespace

Variant ConvertFieldValue(const Variant& Value, LONG Type) {
    switch (Type) {
    case ftText:
        return Variant(ValueText(Value));
    case ftNumber:
        if (IsStringType(Value.Type())) {
            WString text = ValueText(Value);
            const WString separator = DecimalSeparator();
            if (separator.size() == 1 && separator[0] == u'.')
                std::replace(text.begin(), text.end(), WCHAR(u','), WCHAR(u'.'));
            else
                ReplaceAll(text, Utf8ToWide("."), separator);
            try {
                return Variant(Variant(text).AsDouble());
            } catch (const EConversionError&) {
                return Variant(0.0);
            }
        }
        return Variant(Value.AsDouble());
    case ftDateTime:
        return IsStringType(Value.Type()) ? Variant(ValueText(Value)) : Variant::FromDate(Value.AsDate());
    case ftHexText:
        return Variant(DecodeHexText(Value));
    default:
        return Variant(WString());
    }
}

TFieldFormat::TFieldFormat(const WString& Format) : Given(!Format.empty()) {
    if (!Given)
        return;
    const TDirectives d(Format);
    Width = d.Integer("ND", "ЧЦ");
    Decimals = d.Integer("NFD", "ЧДЦ");
    Separator = d.Text("NDS", "ЧРД");
    LeadingZeros = d.Present("NLZ", "ЧВН");
    DatePattern = TranslateDatePattern(d.Text("DF", "ДФ"));
    DecimalSeparator = ::DecimalSeparator();
}

WString FormatFieldValue(const Variant& Value, LONG Type, const TFieldFormat& Format) {
    WString result;
    try {
        const Variant value = Type == ftDateTime ? Variant::FromDate(Value.AsDate()) : Value;
        // A number that the directives write in fixed notation needs no default text.
        const bool fixed = Type == ftNumber && Format.Given && value.Type() == VT_R8 &&
                           (Format.Width >= 0 || Format.Decimals >= 0);
        if (!fixed)
            result = ValueText(value);
        if (!Format.Given)
            return result;
        if (Type == ftNumber) {
            const double number = value.AsDouble();
            result = FormatNumber(number, Format, std::move(result));
        } else if (Type == ftDateTime && !Format.DatePattern.empty()) {
            result = FormatDatePattern(Format.DatePattern, value.AsDate());
        }
    } catch (const EConversionError&) {
    }
    return result;
}

WString FormatFieldValue(const Variant& Value, LONG Type, const WString& Format) {
    return FormatFieldValue(Value, Type, TFieldFormat(Format));
}
