// Floating-point results that come out alike whatever arithmetic the processor uses. A 32-bit
// host's thread may run the x87 unit at extended precision, where an intermediate keeps more bits
// than a double: a half that a double holds exactly then reads as a little more or less, and the
// last bit of a quotient can differ.
#pragma once

#include <cstdint>

// The double nearest to Numerator / Denominator (Denominator > 0), halves to the even neighbour,
// worked out in integers.
double ExactRatio(std::int64_t Numerator, std::int64_t Denominator) noexcept;

// Value as a double in memory holds it: an extended intermediate loses its extra bits here.
double AsStoredDouble(double Value) noexcept;
