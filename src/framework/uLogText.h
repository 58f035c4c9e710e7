// How values appear in the debug log: one line per value whatever its shape, in the ANSI code
// page, so support staff can read what the host sent and got back.
#pragma once

#include "framework/uCommonUtils.h"

std::string VariantToLogText(const VARIANT& value);
inline std::string VariantToLogText(const Variant& value) { return VariantToLogText(value.Raw()); }

// "[" + the highest dimension + "]", each dimension in parentheses from its low to its high
// bound, elements of the first dimension separated by "; ".
std::string ArrayToLogText(const VARIANT& array);
std::string ArrayToLogText(SAFEARRAY* array, VARTYPE elementType = VT_VARIANT);

// A floating value in the shortest general form, up to 15 significant digits, with the
// system's decimal separator.
std::string FloatToLogText(double value);
