// Values as the driver's debug log writes them ([(1; 'x'; NULL)]), in UTF-8 for the console.
#pragma once

#include "platform/Platform.h"

#include <string>
#include <vector>

namespace host {

std::string LogText(const VARIANT& value);
// The values as one 1-D array, the way the log shows a raw method's argument array.
std::string LogTextOfList(const std::vector<const VARIANT*>& values);

// "VT_BSTR", "VT_ARRAY|VT_VARIANT", ...
std::string VarTypeName(VARTYPE vt);

} // namespace host
