// Shared pieces of the automation runtime stand-in: regional settings, the text forms of numbers
// and dates, and ownership of variant payloads. Not part of the platform API.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace platform::oleaut {

// ---- Regional settings ------------------------------------------------------------------------

enum class DateOrder { MonthDayYear, DayMonthYear, YearMonthDay };

struct LocaleData {
    LCID id;
    std::u16string_view englishName;
    std::u16string_view decimal;
    std::u16string_view thousand;
    std::u16string_view dateSeparator;
    std::u16string_view timeSeparator;
    std::u16string_view shortDate;
    std::u16string_view longDate;
    std::u16string_view timeFormat;
    std::u16string_view am;
    std::u16string_view pm;
    std::u16string_view trueName; // Boolean texts in the locale's language
    std::u16string_view falseName;
    DateOrder dateOrder;
    UINT ansiCodePage;
    const std::u16string_view* monthNames; // twelve full names, January first
    const std::u16string_view* monthAbbreviations;
    const std::u16string_view* dayNames; // seven full names, Monday first
    const std::u16string_view* dayAbbreviations;
};

// The settings an LCID stands for, defaults (0, LOCALE_USER_DEFAULT, LOCALE_SYSTEM_DEFAULT) resolved
// to the current ones; nullptr for a locale the stand-in does not know.
const LocaleData* FindLocale(LCID lcid);

// What the runtime falls back on for an LCID it does not know: a point for decimals, a comma for
// thousands, month-first dates, and no date format to write with.
const LocaleData& FallbackLocale();

// ---- Text forms of numbers --------------------------------------------------------------------

// A number read from text: either decimal digits with a power of ten, or a hexadecimal/octal
// literal (&H..., &O...) that the runtime treats as a bit pattern.
struct ParsedNumber {
    bool negative = false;
    bool radixLiteral = false;
    std::uint64_t radixValue = 0;
    std::string digits; // significant decimal digits, no leading zeros; empty for zero
    int exponent = 0;   // value = digits * 10^exponent
};

// S_OK, or DISP_E_TYPEMISMATCH for text that is not a number in the locale.
HRESULT ParseNumber(std::u16string_view text, const LocaleData& locale, ParsedNumber& out);

// The nearest double; DISP_E_OVERFLOW when out of the double range.
HRESULT NumberToDouble(const ParsedNumber& number, double& out);

// The integer nearest the number, halves to even; false when it lies outside [min, max].
bool NumberToInteger(const ParsedNumber& number, __int128 min, __int128 max, __int128& out);

// Doubles as the runtime writes them: the given number of significant digits, the exponent form
// when the number needs it, the locale's decimal separator in the plain form.
std::u16string FormatReal(double value, int significantDigits, const LocaleData& locale);
std::u16string FormatCurrency(LONGLONG value, const LocaleData& locale);
std::u16string FormatInteger(__int128 value);

// ---- Dates ------------------------------------------------------------------------------------

constexpr double kMinDate = -657434.0; // 1 January 100
constexpr double kMaxDate = 2958465.0; // 31 December 9999

struct DateTimeParts {
    int year, month, day, hour, minute, second, dayOfWeek;
};

// Calendar parts of a DATE rounded to the second; false outside the DATE range.
bool SplitDate(double date, DateTimeParts& out);
// A DATE from calendar parts; false for an impossible date or time.
bool MakeDate(int year, int month, int day, int hour, int minute, int second, double& out);

// SystemTimeToVariantTime's reading of a SYSTEMTIME; false when it names no DATE.
bool DateOfSystemTime(const SYSTEMTIME& st, double& out);

// S_OK, DISP_E_TYPEMISMATCH for text that is no date, DISP_E_OVERFLOW for a date out of range.
HRESULT ParseDate(std::u16string_view text, const LocaleData& locale, double& out);
// E_INVALIDARG outside the DATE range.
HRESULT FormatDate(double date, const LocaleData& locale, std::u16string& out);

// ---- Payloads ---------------------------------------------------------------------------------

BSTR AllocString(std::u16string_view text);
std::u16string_view StringOf(BSTR text);

// Base types a VARIANT may hold (with or without VT_BYREF/VT_ARRAY).
bool IsVariantBaseType(VARTYPE base);
// Size of one element of a SAFEARRAY of this type; 0 for types an array cannot hold.
ULONG ElementSize(VARTYPE vt);

} // namespace platform::oleaut
