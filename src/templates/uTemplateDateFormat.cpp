// Dates written by a pattern of the field's DF directive.
#include "templates/uTemplateLib.h"

#include <cmath>
#include <cstdio>

namespace {

// The driver module's date and time formats: the driver fixes them when it is created, so every
// rendering sees these.
struct TModuleFormats {
    const char* ShortDateFormat = "yyyy mm dd";
    WCHAR DateSeparator = u'.';
    const char* ShortTimeFormat = "h:mm";
    const char* LongTimeFormat = "hh mm ss";
    WCHAR TimeSeparator = u':';
};
constexpr TModuleFormats ModuleFormats;


WString LocaleText(DWORD type) {
    WCHAR buffer[128] = {};
    return GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 128) > 0 ? WString(buffer) : WString();
}

struct TParts {
    int Year, Month, Day, Hour, Minute, Second, Millisecond, DayOfWeek; // DayOfWeek 0 = Sunday
};

// Calendar parts of a date; the range of dates the automation types know.
TParts Split(DATE value) {
    if (!(value >= -657434.0 && value < 2958466.0))
        throw EConversionError(DISP_E_OVERFLOW, VT_DATE, VT_BSTR);
    const double whole = std::trunc(value);
    long long ms = std::llround(std::fabs(value - whole) * 86400000.0);
    if (ms >= 86400000)
        ms = 86399999;
    // Days since 1 March of year 0 (the civil calendar algorithm), from 30 December 1899.
    const long long z = static_cast<long long>(whole) - 25569 + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    TParts p{};
    p.Day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    p.Month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    p.Year = static_cast<int>(yoe + era * 400 + (p.Month <= 2 ? 1 : 0));
    const long long days1970 = static_cast<long long>(whole) - 25569;
    p.DayOfWeek = static_cast<int>(((days1970 % 7) + 7 + 4) % 7);
    p.Hour = static_cast<int>(ms / 3600000);
    p.Minute = static_cast<int>(ms / 60000 % 60);
    p.Second = static_cast<int>(ms / 1000 % 60);
    p.Millisecond = static_cast<int>(ms % 1000);
    return p;
}

WCHAR Upper(WCHAR c) { return c >= u'a' && c <= u'z' ? static_cast<WCHAR>(c - 32) : c; }

bool StartsNoCase(WStringView text, size_t at, const char* ascii) {
    for (size_t k = 0; ascii[k]; ++k)
        if (at + k >= text.size() || Upper(text[at + k]) != Upper(static_cast<WCHAR>(ascii[k])))
            return false;
    return true;
}

class TDateWriter {
public:
    TDateWriter(DATE value) : FParts(Split(value)) {}

    void Append(WStringView pattern, int level) {
        WCHAR lastToken = 0;
        size_t i = 0;
        const bool twelveHour = HasAmPm(pattern);
        while (i < pattern.size()) {
            const WCHAR c = pattern[i];
            WCHAR token = Upper(c);
            size_t count = 1;
            while (i + count < pattern.size() && pattern[i + count] == c)
                ++count;
            if (token >= u'A' && token <= u'Z') {
                if (token == u'M' && lastToken == u'H')
                    token = u'N';
                lastToken = token;
            }
            switch (token) {
            case u'Y':
                Number(count <= 2 ? FParts.Year % 100 : FParts.Year, count <= 2 ? 2 : 4);
                break;
            case u'M':
                if (count <= 2)
                    Number(FParts.Month, static_cast<int>(count));
                else
                    FText += LocaleText((count == 3 ? LOCALE_SABBREVMONTHNAME1 : LOCALE_SMONTHNAME1) + FParts.Month - 1);
                break;
            case u'D':
                if (count <= 2) {
                    Number(FParts.Day, static_cast<int>(count));
                } else if (count <= 4) {
                    const int day = FParts.DayOfWeek == 0 ? 6 : FParts.DayOfWeek - 1; // Monday first
                    FText += LocaleText((count == 3 ? LOCALE_SABBREVDAYNAME1 : LOCALE_SDAYNAME1) + day);
                } else if (level < 2) {
                    Append(count == 5 ? Utf8ToWide(ModuleFormats.ShortDateFormat) : LocaleText(LOCALE_SLONGDATE),
                           level + 1);
                }
                break;
            case u'H': {
                int hour = FParts.Hour;
                if (twelveHour)
                    hour = hour % 12 == 0 ? 12 : hour % 12;
                Number(hour, count >= 2 ? 2 : 1);
                break;
            }
            case u'N':
                Number(FParts.Minute, count >= 2 ? 2 : 1);
                break;
            case u'S':
                Number(FParts.Second, count >= 2 ? 2 : 1);
                break;
            case u'Z':
                Number(FParts.Millisecond, count <= 2 ? 1 : 3);
                break;
            case u'T':
                if (level < 2)
                    Append(Utf8ToWide(count == 1 ? ModuleFormats.ShortTimeFormat : ModuleFormats.LongTimeFormat),
                           level + 1);
                break;
            case u'C':
                if (level < 2) {
                    Append(Utf8ToWide(ModuleFormats.ShortDateFormat), level + 1);
                    if (FParts.Hour || FParts.Minute || FParts.Second || FParts.Millisecond) {
                        FText += u' ';
                        Append(Utf8ToWide(ModuleFormats.LongTimeFormat), level + 1);
                    }
                }
                count = 1;
                break;
            case u'A':
                count = AmPm(pattern, i);
                break;
            case u'/':
                FText.append(count, ModuleFormats.DateSeparator);
                break;
            case u':':
                FText.append(count, ModuleFormats.TimeSeparator);
                break;
            case u'\'':
            case u'"': {
                const size_t close = pattern.find(c, i + 1);
                const size_t end = close == WStringView::npos ? pattern.size() : close;
                FText += pattern.substr(i + 1, end - i - 1);
                count = (close == WStringView::npos ? end : end + 1) - i;
                break;
            }
            default:
                FText.append(count, c);
                break;
            }
            i += count;
        }
    }

    const WString& Text() const { return FText; }

private:
    void Number(int value, int digits) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%0*d", digits, value);
        FText += Utf8ToWide(buffer);
    }

    static bool HasAmPm(WStringView pattern) {
        for (size_t i = 0; i < pattern.size(); ++i) {
            if (pattern[i] == u'\'' || pattern[i] == u'"') {
                const size_t close = pattern.find(pattern[i], i + 1);
                if (close == WStringView::npos)
                    return false;
                i = close;
            } else if (StartsNoCase(pattern, i, "am/pm") || StartsNoCase(pattern, i, "a/p") ||
                       StartsNoCase(pattern, i, "ampm")) {
                return true;
            }
        }
        return false;
    }

    // The marker at i: as written in the pattern (am/pm, a/p), or AM and PM for ampm whatever the
    // regional settings; the number of pattern characters it took.
    size_t AmPm(WStringView pattern, size_t i) {
        const bool pm = FParts.Hour >= 12;
        if (StartsNoCase(pattern, i, "am/pm")) {
            FText += pattern.substr(pm ? i + 3 : i, 2);
            return 5;
        }
        if (StartsNoCase(pattern, i, "a/p")) {
            FText += pattern.substr(pm ? i + 2 : i, 1);
            return 3;
        }
        if (StartsNoCase(pattern, i, "ampm")) {
            FText += pm ? Utf8ToWide("PM") : Utf8ToWide("AM");
            return 4;
        }
        FText += pattern[i];
        return 1;
    }

    TParts FParts;
    WString FText;
};

} // namespace

WString FormatDatePattern(const WString& Pattern, DATE Value) {
    TDateWriter writer(Value);
    writer.Append(Pattern, 0);
    return writer.Text();
}
