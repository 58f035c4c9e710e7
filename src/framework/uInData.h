// Positional readers for the InData arrays of commands. An element that is missing, Empty or
// Null counts as not given, and the reader falls back.
#pragma once

#include "framework/uCommonUtils.h"

// The value is a one-dimensional array with an index i inside its bounds, and element i is
// neither Empty nor Null.
bool ArrayItemPresent(const Variant& array, LONG i);
std::string ArrayItemAsString(const Variant& array, LONG i, std::string_view defaultAnsi); // ANSI
LONG ArrayItemAsInteger(const Variant& array, LONG i, LONG defaultValue);
// The current local date and time when the element is not given.
DATE ArrayItemAsDate(const Variant& array, LONG i);

// Typed stores of a value with a fallback: the fallback stands in when the value is Empty or
// Null, or when it is not of a type the target accepts.
void ReadTypedValue(const Variant& value, LONG& target, const Variant& fallback);  // ordinal
void ReadTypedValue(const Variant& value, double& target, const Variant& fallback); // numeric
void ReadTypedValue(const Variant& value, CY& target, const Variant& fallback);     // numeric
void ReadTypedDate(const Variant& value, DATE& target, const Variant& fallback);    // exactly a date
void ReadTypedValue(const Variant& value, bool& target, const Variant& fallback);   // exactly a Boolean
void ReadTypedValue(const Variant& value, std::string& target, const Variant& fallback); // a string, ANSI
