// Comparing what the driver answered with what a scenario expects.
#pragma once

#include "Scenario.h"

#include <optional>
#include <string>

namespace host {

// nullopt when the value meets the expectation; otherwise where and how it differs, e.g.
// "(0)(1, 2): expected true, got False (VT_BOOL)". References are followed.
std::optional<std::string> Match(const Value& expected, const VARIANT& actual);

} // namespace host
