#include "framework/uExactFloat.h"

#include <cmath>

double ExactRatio(std::int64_t Numerator, std::int64_t Denominator) noexcept {
    const bool negative = Numerator < 0;
    const std::uint64_t n =
        negative ? 0 - static_cast<std::uint64_t>(Numerator) : static_cast<std::uint64_t>(Numerator);
    const std::uint64_t d = static_cast<std::uint64_t>(Denominator);
    if (n == 0)
        return 0.0;
    // The quotient to 54 significant bits (the double's 53 and the first one beyond), with
    // whatever lies further only noted as non-zero.
    constexpr std::uint64_t Top = std::uint64_t{1} << 54;
    std::uint64_t q = n / d, r = n % d;
    int exponent = 0;
    bool sticky = false;
    while (q >= Top) {
        sticky = sticky || (q & 1) != 0;
        q >>= 1;
        ++exponent;
    }
    while (q < Top / 2) {
        r <<= 1; // r < d < 2^63: no overflow
        q <<= 1;
        if (r >= d) {
            q |= 1;
            r -= d;
        }
        --exponent;
    }
    sticky = sticky || r != 0;
    std::uint64_t mantissa = q >> 1;
    if ((q & 1) != 0 && (sticky || (mantissa & 1) != 0))
        ++mantissa;
    // Both exact: mantissa has at most 54 bits and is even when it does.
    const double magnitude = std::ldexp(static_cast<double>(mantissa), exponent + 1);
    return negative ? -magnitude : magnitude;
}

double AsStoredDouble(double Value) noexcept {
    volatile double stored = Value;
    return stored;
}
