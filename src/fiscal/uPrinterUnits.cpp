#include "fiscal/uPrinterUnits.h"

#include <cstdint>
#include <limits>

std::optional<LONG> KopecksOf(CY Amount) noexcept {
    // A currency value counts ten-thousandths: 100 of them make a kopeck.
    const std::int64_t scaled = Amount.int64;
    std::int64_t kopecks = scaled / 100;
    const std::int64_t rest = scaled % 100; // same sign as scaled
    const std::int64_t half = rest < 0 ? -rest : rest;
    if (half > 50 || (half == 50 && kopecks % 2 != 0))
        kopecks += scaled < 0 ? -1 : 1;
    if (kopecks < std::numeric_limits<LONG>::min() || kopecks > std::numeric_limits<LONG>::max())
        return std::nullopt;
    return static_cast<LONG>(kopecks);
}
