// Reading parameter values for the forms, and the small text rules the forms share.
#pragma once

#include "device/uBaseDevice.h"

// The parameter's integer; false when its value is not a number (the full settings list
// stores any text) or there is no such parameter.
bool ParamInteger(const TBaseDevice& Device, std::string_view Name, LONG& Value, bool UseDefault = false);
// The parameter's text; empty when it has none.
WString ParamText(const TBaseDevice& Device, std::string_view Name);
// A text of decimal digits (an optional sign first) as the integer it shows; 0 for anything else,
// a number beyond a LONG included.
LONG TextToInteger(const WString& Text);
// Only the Latin letters a to z become capitals; Cyrillic names stay as written.
WString LatinUpper(WString Text);
// The system's decimal separator.
WCHAR SystemDecimalSeparator();
