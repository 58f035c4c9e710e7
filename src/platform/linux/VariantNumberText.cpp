// Numbers as text, the way the automation runtime reads and writes them: the locale's decimal
// separator, its thousands separator anywhere in the whole part, signs in front or behind,
// parentheses for negatives, an exponent, and &H/&O literals.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "OleAutoInternal.h"

namespace platform::oleaut {
namespace {

bool IsSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r') || c == u'\u00A0'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int HexValue(char16_t c) {
    if (IsDigit(c))
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

class Reader {
public:
    explicit Reader(std::u16string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    char16_t Peek() const { return AtEnd() ? 0 : text_[pos_]; }
    void Advance(size_t n = 1) { pos_ += n; }
    bool Take(char16_t c) {
        if (Peek() != c || AtEnd())
            return false;
        ++pos_;
        return true;
    }
    bool Take(std::u16string_view s) {
        if (s.empty() || text_.substr(pos_, s.size()) != s)
            return false;
        pos_ += s.size();
        return true;
    }
    void SkipSpaces() {
        while (!AtEnd() && IsSpace(Peek()))
            ++pos_;
    }

private:
    std::u16string_view text_;
    size_t pos_ = 0;
};

HRESULT ParseRadix(Reader& in, ParsedNumber& out) {
    const char16_t kind = in.Peek();
    const int radix = (kind == u'H' || kind == u'h') ? 16 : (kind == u'O' || kind == u'o') ? 8 : 0;
    if (radix == 0)
        return DISP_E_TYPEMISMATCH;
    in.Advance();
    int count = 0;
    for (int digit; (digit = HexValue(in.Peek())) >= 0 && digit < radix; in.Advance(), ++count) {
        if (out.radixValue > (UINT64_MAX - digit) / radix)
            return DISP_E_OVERFLOW;
        out.radixValue = out.radixValue * radix + digit;
    }
    in.SkipSpaces();
    if (count == 0 || !in.AtEnd())
        return DISP_E_TYPEMISMATCH;
    out.radixLiteral = true;
    return S_OK;
}

// Exponents far beyond any double are clamped; the value is then zero or an overflow anyway.
constexpr int kExponentLimit = 100000;

} // namespace

HRESULT ParseNumber(std::u16string_view text, const LocaleData& locale, ParsedNumber& out) {
    out = ParsedNumber{};
    Reader in(text);
    in.SkipSpaces();
    if (in.Take(u'&'))
        return ParseRadix(in, out);

    bool leadingSign = false, parens = false;
    if (in.Take(u'-'))
        out.negative = leadingSign = true;
    else if (in.Take(u'+'))
        leadingSign = true;
    else if (in.Take(u'('))
        parens = out.negative = true;

    // A thousands separator that is a non-breaking space also matches a plain space, as people type it.
    const bool spaceGroups = locale.thousand == u"\u00A0";
    std::string& digits = out.digits;
    int fractionDigits = 0;
    bool anyDigit = false;
    for (;;) {
        const char16_t c = in.Peek();
        if (IsDigit(c) && !in.AtEnd()) {
            anyDigit = true;
            if (!digits.empty() || c != u'0')
                digits.push_back(static_cast<char>(c));
            in.Advance();
        } else if (anyDigit && (in.Take(locale.thousand) || (spaceGroups && in.Take(u' ')))) {
        } else {
            break;
        }
    }
    if (in.Take(locale.decimal)) {
        for (char16_t c; IsDigit(c = in.Peek()) && !in.AtEnd(); in.Advance()) {
            anyDigit = true;
            if (!digits.empty() || c != u'0') {
                digits.push_back(static_cast<char>(c));
            }
            ++fractionDigits;
        }
    }
    if (!anyDigit)
        return DISP_E_TYPEMISMATCH;

    long exponent = 0;
    if (in.Peek() == u'e' || in.Peek() == u'E') {
        in.Advance();
        bool negativeExponent = false;
        if (in.Take(u'-'))
            negativeExponent = true;
        else
            in.Take(u'+');
        if (!IsDigit(in.Peek()) || in.AtEnd())
            return DISP_E_TYPEMISMATCH;
        for (char16_t c; IsDigit(c = in.Peek()) && !in.AtEnd(); in.Advance())
            exponent = std::min<long>(exponent * 10 + (c - u'0'), kExponentLimit);
        if (negativeExponent)
            exponent = -exponent;
    }

    if (parens) {
        if (!in.Take(u')'))
            return DISP_E_TYPEMISMATCH;
    } else if (!leadingSign) {
        if (in.Take(u'-'))
            out.negative = true;
        else
            in.Take(u'+');
    }
    in.SkipSpaces();
    if (!in.AtEnd())
        return DISP_E_TYPEMISMATCH;

    // Trailing zeros of the digits move into the exponent so that "100" and "1e2" look alike.
    long power = exponent - fractionDigits;
    while (!digits.empty() && digits.back() == '0') {
        digits.pop_back();
        ++power;
    }
    if (digits.empty())
        power = 0;
    out.exponent = static_cast<int>(std::clamp<long>(power, -2 * kExponentLimit, 2 * kExponentLimit));
    return S_OK;
}

HRESULT NumberToDouble(const ParsedNumber& number, double& out) {
    if (number.digits.empty()) {
        out = number.negative ? -0.0 : 0.0;
        return S_OK;
    }
    // Decimal magnitude of the leading digit: far outside the double range there is nothing to convert.
    const long magnitude = static_cast<long>(number.digits.size()) + number.exponent;
    if (magnitude > 400)
        return DISP_E_OVERFLOW;
    if (magnitude < -400) {
        out = number.negative ? -0.0 : 0.0;
        return S_OK;
    }
    std::string text = number.digits + "e" + std::to_string(number.exponent);
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        if (magnitude > 0)
            return DISP_E_OVERFLOW;
        value = 0;
    } else if (error != std::errc() || end != text.data() + text.size() || std::isinf(value)) {
        return DISP_E_OVERFLOW;
    }
    out = number.negative ? -value : value;
    return S_OK;
}

bool NumberToInteger(const ParsedNumber& number, __int128 min, __int128 max, __int128& out) {
    const std::string& digits = number.digits;
    const long wholeDigits = static_cast<long>(digits.size()) + number.exponent;
    if (wholeDigits > 38) // beyond every integer type
        return false;
    unsigned __int128 whole = 0;
    for (long i = 0; i < wholeDigits; ++i)
        whole = whole * 10 + (i < static_cast<long>(digits.size()) ? digits[i] - '0' : 0);

    // Round the dropped fraction half to even. The digits carry no trailing zeros, so anything
    // after the first dropped digit makes it more than a half.
    if (wholeDigits >= 0 && wholeDigits < static_cast<long>(digits.size())) {
        const int dropped = digits[wholeDigits] - '0';
        const bool moreThanHalf = dropped > 5 || (dropped == 5 && wholeDigits + 1 < static_cast<long>(digits.size()));
        if (moreThanHalf || (dropped == 5 && (whole & 1)))
            ++whole;
    }
    const __int128 value = number.negative ? -static_cast<__int128>(whole) : static_cast<__int128>(whole);
    if (value < min || value > max)
        return false;
    out = value;
    return true;
}

std::u16string FormatInteger(__int128 value) {
    unsigned __int128 magnitude = value < 0 ? -static_cast<unsigned __int128>(value) : value;
    std::u16string text;
    do {
        text.insert(text.begin(), static_cast<char16_t>(u'0' + static_cast<int>(magnitude % 10)));
        magnitude /= 10;
    } while (magnitude);
    if (value < 0)
        text.insert(text.begin(), u'-');
    return text;
}

std::u16string FormatReal(double value, int significantDigits, const LocaleData& locale) {
    if (std::isnan(value))
        return u"NAN";
    if (std::isinf(value))
        return value < 0 ? u"-INF" : u"INF";
    if (value == 0)
        return u"0";
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, significantDigits);
    if (error != std::errc())
        return u"0";
    std::u16string text;
    bool exponentForm = false;
    for (const char* p = buffer; p != end; ++p) {
        if (*p == 'e') {
            text.push_back(u'E');
            exponentForm = true;
        } else {
            text.push_back(static_cast<char16_t>(*p));
        }
    }
    // The runtime localises the plain form only; the exponent form keeps its point.
    if (!exponentForm) {
        const auto point = text.find(u'.');
        if (point != std::u16string::npos)
            text.replace(point, 1, locale.decimal);
    }
    return text;
}

std::u16string FormatCurrency(LONGLONG value, const LocaleData& locale) {
    const bool negative = value < 0;
    const unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value) : value;
    std::u16string text = FormatInteger(magnitude / 10000);
    unsigned fraction = static_cast<unsigned>(magnitude % 10000);
    if (fraction) {
        std::u16string digits;
        for (int i = 0; i < 4; ++i, fraction /= 10)
            digits.insert(digits.begin(), static_cast<char16_t>(u'0' + fraction % 10));
        digits.erase(digits.find_last_not_of(u'0') + 1);
        text += locale.decimal;
        text += digits;
    }
    if (negative)
        text.insert(text.begin(), u'-');
    return text;
}

} // namespace platform::oleaut
