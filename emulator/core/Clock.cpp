#include "emulator/Clock.h"

#include "platform/Platform.h"

#include <cstdio>

namespace azimuth {

namespace {

// Days from 1970-01-01 to a proleptic Gregorian date and back (the well-known civil algorithms).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

std::string Two(int v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

} // namespace

PrinterTime FromCivil(const CivilTime& t) {
    return DaysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day)) * 86400 +
           t.hour * 3600 + t.minute * 60 + t.second;
}

CivilTime ToCivil(PrinterTime t) {
    std::int64_t days = t >= 0 ? t / 86400 : (t - 86399) / 86400;
    std::int64_t rest = t - days * 86400;
    CivilTime c;
    CivilFromDays(days, c.year, c.month, c.day);
    c.hour = static_cast<int>(rest / 3600);
    c.minute = static_cast<int>(rest / 60 % 60);
    c.second = static_cast<int>(rest % 60);
    return c;
}

PrinterTime HostNow() {
    // Not localtime: its buffer is the C library's, shared by every copy of this library a process
    // has loaded (one per printer), and those copies run on threads of their own.
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return FromCivil({t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond});
}

std::optional<PrinterTime> ParseTimestamp(std::string_view text) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || (text[10] != ' ' && text[10] != 'T') ||
        text[13] != ':' || text[16] != ':')
        return std::nullopt;
    auto number = [&](std::size_t pos, std::size_t len, int& out) {
        out = 0;
        for (std::size_t i = pos; i < pos + len; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return false;
            out = out * 10 + (text[i] - '0');
        }
        return true;
    };
    CivilTime c;
    if (!number(0, 4, c.year) || !number(5, 2, c.month) || !number(8, 2, c.day) || !number(11, 2, c.hour) ||
        !number(14, 2, c.minute) || !number(17, 2, c.second))
        return std::nullopt;
    if (c.month < 1 || c.month > 12 || c.day < 1 || c.hour > 23 || c.minute > 59 || c.second > 59)
        return std::nullopt;
    PrinterTime t = FromCivil(c);
    if (ToCivil(t).day != c.day) // 31 April and the like
        return std::nullopt;
    return t;
}

std::string FormatTimestamp(PrinterTime t) {
    CivilTime c = ToCivil(t);
    return std::to_string(c.year) + "-" + Two(c.month) + "-" + Two(c.day) + " " + Two(c.hour) + ":" +
           Two(c.minute) + ":" + Two(c.second);
}

std::string FormatDate(PrinterTime t) {
    CivilTime c = ToCivil(t);
    return Two(c.day) + "." + Two(c.month) + "." + std::to_string(c.year);
}

std::string FormatTime(PrinterTime t) {
    CivilTime c = ToCivil(t);
    return Two(c.hour) + ":" + Two(c.minute);
}

} // namespace azimuth
