#pragma once

#include "platform/Platform.h"

#include <optional>
#include <string>
#include <string_view>

namespace host {

// HRESULT by its usual name ("S_OK", "E_INVALIDARG", ...) and back; codes without a name in our
// table print as 0x%08X.
std::optional<HRESULT> HresultFromName(std::string_view name);
std::string HresultName(HRESULT hr);

} // namespace host
