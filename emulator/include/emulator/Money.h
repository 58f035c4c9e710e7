// Exact integer money: kopecks and thousandths in 32 bits at the interface, totals in 64 bits.
// Every sum that could leave its range is checked; the caller refuses the operation instead.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace azimuth {

inline std::optional<std::int64_t> Add(std::int64_t a, std::int64_t b) {
    std::int64_t r;
    if (__builtin_add_overflow(a, b, &r))
        return std::nullopt;
    return r;
}

inline std::optional<std::int64_t> Sub(std::int64_t a, std::int64_t b) {
    std::int64_t r;
    if (__builtin_sub_overflow(a, b, &r))
        return std::nullopt;
    return r;
}

// a × b / divisor for non-negative operands, rounded half up (as a cash register rounds).
inline std::optional<std::int64_t> MulDivRound(std::int64_t a, std::int64_t b, std::int64_t divisor) {
    if (a < 0 || b < 0 || divisor <= 0)
        return std::nullopt;
    std::int64_t product, rounded;
    if (__builtin_mul_overflow(a, b, &product) || __builtin_add_overflow(product, divisor / 2, &rounded))
        return std::nullopt;
    return rounded / divisor;
}

inline bool FitsInt32(std::int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

// 123456 -> "1234.56", -100 -> "-1.00".
std::string FormatMoney(std::int64_t kopecks);

// 2500 -> "2.500".
std::string FormatQuantity(std::int64_t thousandths);

// Hundredths of a per cent: 1800 -> "18", 1850 -> "18.5", 1 -> "0.01".
std::string FormatRate(std::int32_t hundredths);

// Plain decimal digits (surrounding blanks allowed) up to 999999999; nothing for anything else.
std::optional<std::int32_t> ParseUnsigned(std::string_view text);

// "18", "18.5", "0,01", " 10.00 " -> hundredths of a per cent; nothing for anything else or
// more than two decimals.
std::optional<std::int32_t> ParseRate(std::string_view text);

} // namespace azimuth
