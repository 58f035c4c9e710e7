// Money as the printer takes it: kopecks in a 32-bit integer, the nearest one to the amount with
// halves going to the even neighbour.
#pragma once

#include "platform/Platform.h"

#include <optional>

// Nothing when the amount does not fit: a wrapped-around amount would move other money.
std::optional<LONG> KopecksOf(CY Amount) noexcept;
