// The printer's clock. Times are local civil times counted in seconds from 1970-01-01 00:00 as if
// that were UTC: the printer knows no time zones, and date arithmetic stays exact.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace azimuth {

using PrinterTime = std::int64_t;

struct CivilTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

PrinterTime FromCivil(const CivilTime& t);
CivilTime ToCivil(PrinterTime t);

// The computer's local time now.
PrinterTime HostNow();

// "2024-05-18 09:30:00" (also with "T" between date and time) <-> time.
std::optional<PrinterTime> ParseTimestamp(std::string_view text);
std::string FormatTimestamp(PrinterTime t);

std::string FormatDate(PrinterTime t); // "18.05.2024"
std::string FormatTime(PrinterTime t); // "09:30"

// Where the printer's clock stands relative to the computer's: a fixed offset, or frozen at a
// moment (plus the offset) so that tests can move it at will.
struct ClockSettings {
    std::int64_t offsetSeconds = 0;
    std::optional<PrinterTime> frozenAt;

    PrinterTime Now() const { return (frozenAt ? *frozenAt : HostNow()) + offsetSeconds; }
};

} // namespace azimuth
