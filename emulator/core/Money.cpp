#include "emulator/Money.h"

#include <cstdio>

namespace azimuth {

namespace {

std::uint64_t Magnitude(std::int64_t v) {
    return v < 0 ? static_cast<std::uint64_t>(-(v + 1)) + 1 : static_cast<std::uint64_t>(v);
}

// sign, whole part, '.', `digits` fraction digits of |value| / scale.
std::string Fixed(std::int64_t value, std::uint64_t scale, int digits) {
    const std::uint64_t m = Magnitude(value);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%llu.%0*llu", value < 0 ? "-" : "", static_cast<unsigned long long>(m / scale),
                  digits, static_cast<unsigned long long>(m % scale));
    return buf;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string FormatMoney(std::int64_t kopecks) { return Fixed(kopecks, 100, 2); }

std::string FormatQuantity(std::int64_t thousandths) { return Fixed(thousandths, 1000, 3); }

std::string FormatRate(std::int32_t hundredths) {
    char buf[24];
    if (hundredths % 100 == 0)
        std::snprintf(buf, sizeof buf, "%d", hundredths / 100);
    else if (hundredths % 10 == 0)
        std::snprintf(buf, sizeof buf, "%d.%d", hundredths / 100, hundredths % 100 / 10);
    else
        std::snprintf(buf, sizeof buf, "%d.%02d", hundredths / 100, hundredths % 100);
    return buf;
}

std::optional<std::int32_t> ParseUnsigned(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    std::int32_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::optional<std::int32_t> ParseRate(std::string_view text) {
    text = TrimBlanks(text);
    std::int64_t whole = 0, frac = 0;
    int fracDigits = -1;
    bool any = false;
    for (char c : text) {
        if (c == '.' || c == ',') {
            if (fracDigits >= 0)
                return std::nullopt;
            fracDigits = 0;
        } else if (c >= '0' && c <= '9') {
            any = true;
            if (fracDigits < 0) {
                whole = whole * 10 + (c - '0');
                if (whole > 100)
                    return std::nullopt;
            } else {
                if (++fracDigits > 2)
                    return std::nullopt;
                frac = frac * 10 + (c - '0');
            }
        } else {
            return std::nullopt;
        }
    }
    if (!any)
        return std::nullopt;
    if (fracDigits == 1)
        frac *= 10;
    std::int64_t value = whole * 100 + frac;
    if (value > 10000)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace azimuth
