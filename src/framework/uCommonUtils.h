// The helpers every layer above the platform calls: short strings and the name comparison, and
// the VARTYPE groups of the input rules. It includes the owners of the automation resources, the
// text conversions and the driver's exceptions, so one include gives a layer all of them.
#pragma once

#include "framework/uArrayReader.h"
#include "framework/uBStr.h"
#include "framework/uComPtr.h"
#include "framework/uDriverExceptions.h"
#include "framework/uSafeArray.h"
#include "framework/uTextConversion.h"
#include "framework/uVariant.h"

#include <string>
#include <string_view>

// Short strings (member and parameter names, captions) keep at most this many characters.
inline constexpr std::size_t ShortStringMax = 255;
std::string ToShortString(std::string_view ansi);

// Case-insensitive equality over the full length of both names in the ANSI code page, the one
// comparison every name lookup of the driver uses.
bool SameName(std::string_view a, std::string_view b);

// The same comparison of one name against many (a table lookup). The name must outlive it.
class TNameMatcher {
public:
    explicit TNameMatcher(std::string_view name);
    bool Matches(std::string_view other) const;

private:
    std::string_view FName;
    bool FPlain = true;
};

// The VARTYPE groups the driver's input rules speak of.
bool IsOrdinalType(VARTYPE vt) noexcept; // integers, Boolean, byte
bool IsNumericType(VARTYPE vt) noexcept; // ordinals and single, double, currency
bool IsStringType(VARTYPE vt) noexcept;
