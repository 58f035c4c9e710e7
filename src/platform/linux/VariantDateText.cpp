// DATE values: days since 30 December 1899 with the time of day as the fraction. Before that day
// the fraction still counts forwards from midnight, so -1.25 is 29 December 1899, 6:00.
#include <algorithm>
#include <cmath>
#include <ctime>
#include <vector>

#include "OleAutoInternal.h"

namespace platform::oleaut {
namespace {

constexpr long kSerialOfUnixEpoch = 25569; // 1 January 1970
constexpr long kSecondsPerDay = 86400;

// Days since 1 January 1970 of a proleptic Gregorian date, and back.
long DaysFromCivil(long year, long month, long day) {
    year -= month <= 2;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yearOfEra = year - era * 400;
    const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(long days, int& year, int& month, int& day) {
    days += 719468;
    const long era = (days >= 0 ? days : days - 146096) / 146097;
    const long dayOfEra = days - era * 146097;
    const long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long shiftedMonth = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2));
}

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

bool ValidDate(int year, int month, int day) {
    return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

// The time of day added part by part, as the runtime does, so results agree to the last bit.
double WithTime(double serial, int hour, int minute, int second) {
    if (serial < 0)
        return serial - hour / 24.0 - minute / 1440.0 - second / 86400.0;
    return serial + hour / 24.0 + minute / 1440.0 + second / 86400.0;
}

bool ValidTime(int hour, int minute, int second) {
    return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

int CurrentYear() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

// ---- Writing ----------------------------------------------------------------------------------

void AppendNumber(std::u16string& out, int value, int minDigits) {
    std::u16string digits = FormatInteger(value);
    if (static_cast<int>(digits.size()) < minDigits)
        digits.insert(0, static_cast<size_t>(minDigits) - digits.size(), u'0');
    out += digits;
}

// The subset of the picture language that the short date and time formats use.
void AppendFormatted(std::u16string& out, std::u16string_view format, const DateTimeParts& parts,
                     const LocaleData& locale) {
    for (size_t i = 0; i < format.size();) {
        const char16_t c = format[i];
        if (c == u'\'') {
            const size_t close = format.find(u'\'', i + 1);
            const size_t end = close == std::u16string_view::npos ? format.size() : close;
            out += format.substr(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        size_t run = 1;
        while (i + run < format.size() && format[i + run] == c)
            ++run;
        const int width = run >= 2 ? 2 : 1;
        switch (c) {
        case u'd':
            AppendNumber(out, parts.day, width);
            break;
        case u'M':
            if (run >= 4)
                out += locale.monthNames[parts.month - 1];
            else if (run == 3)
                out += locale.monthAbbreviations[parts.month - 1];
            else
                AppendNumber(out, parts.month, width);
            break;
        case u'y':
            if (run <= 2)
                AppendNumber(out, parts.year % 100, width);
            else
                AppendNumber(out, parts.year, 1);
            break;
        case u'H':
            AppendNumber(out, parts.hour, width);
            break;
        case u'h':
            AppendNumber(out, parts.hour % 12 == 0 ? 12 : parts.hour % 12, width);
            break;
        case u'm':
            AppendNumber(out, parts.minute, width);
            break;
        case u's':
            AppendNumber(out, parts.second, width);
            break;
        case u't': {
            std::u16string_view designator = parts.hour < 12 ? locale.am : locale.pm;
            out += run == 1 ? designator.substr(0, 1) : designator;
            break;
        }
        default:
            out.append(run, c);
            break;
        }
        i += run;
    }
}

// ---- Reading ----------------------------------------------------------------------------------

char16_t Fold(char16_t c) {
    if (c >= u'A' && c <= u'Z')
        return c + 0x20;
    if (c >= u'\u0410' && c <= u'\u042F')
        return c + 0x20;
    if (c == u'\u0401')
        return u'\u0451';
    return c;
}

bool SameWord(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size() || a.empty())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i]))
            return false;
    return true;
}

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\u00A0'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c >= 0x00C0; }

struct Token {
    enum Kind { Number, Word, DateSeparator, TimeSeparator } kind;
    long value = 0; // numbers saturate far above any date part
    int digits = 0;
    std::u16string_view text;
};

bool Tokenize(std::u16string_view text, const LocaleData& locale, std::vector<Token>& tokens) {
    for (size_t i = 0; i < text.size();) {
        const char16_t c = text[i];
        if (IsSpace(c)) {
            ++i;
        } else if (IsDigit(c)) {
            Token token{};
            token.kind = Token::Number;
            for (; i < text.size() && IsDigit(text[i]); ++i, ++token.digits)
                token.value = std::min(token.value * 10 + (text[i] - u'0'), 1000000000L);
            tokens.push_back(token);
        } else if (IsLetter(c)) {
            const size_t start = i;
            while (i < text.size() && IsLetter(text[i]))
                ++i;
            tokens.push_back(Token{Token::Word, 0, 0, text.substr(start, i - start)});
        } else {
            // The locale's date separator wins; a full stop elsewhere separates hours and minutes.
            Token::Kind kind;
            if (text.substr(i, locale.dateSeparator.size()) == locale.dateSeparator)
                kind = Token::DateSeparator;
            else if (c == u':' || text.substr(i, locale.timeSeparator.size()) == locale.timeSeparator || c == u'.')
                kind = Token::TimeSeparator;
            else if (c == u'/' || c == u'-' || c == u',')
                kind = Token::DateSeparator;
            else
                return false;
            Token token{};
            token.kind = kind;
            tokens.push_back(token);
            ++i;
        }
    }
    return true;
}

enum Meridiem { kNoMeridiem, kAm, kPm };

Meridiem MeridiemOf(const Token& token, const LocaleData& locale) {
    if (token.kind != Token::Word)
        return kNoMeridiem;
    if (SameWord(token.text, locale.am) || SameWord(token.text, u"AM"))
        return kAm;
    if (SameWord(token.text, locale.pm) || SameWord(token.text, u"PM"))
        return kPm;
    return kNoMeridiem;
}

int MonthOf(const Token& token, const LocaleData& locale) {
    if (token.kind != Token::Word)
        return 0;
    for (int m = 0; m < 12; ++m)
        if (SameWord(token.text, locale.monthNames[m]) || SameWord(token.text, locale.monthAbbreviations[m]))
            return m + 1;
    return 0;
}

// Two-digit years fall in 1950..2049.
int YearOf(const Token& token) {
    if (token.digits <= 2)
        return static_cast<int>(token.value < 50 ? 2000 + token.value : 1900 + token.value);
    return static_cast<int>(std::min(token.value, 100000L));
}

int Small(const Token& token) { return static_cast<int>(std::min(token.value, 100000L)); }

struct Ymd {
    int year, month, day;
};

bool ResolveDate(const std::vector<Token>& numbers, int namedMonth, const LocaleData& locale, Ymd& out) {
    auto accept = [&out](int y, int m, int d) {
        if (!ValidDate(y, m, d))
            return false;
        out = {y, m, d};
        return true;
    };
    const size_t n = numbers.size();
    if (namedMonth) {
        if (n == 1) {
            const Token& t = numbers[0];
            return t.digits <= 2 && t.value <= 31 ? accept(CurrentYear(), namedMonth, Small(t))
                                                  : accept(YearOf(t), namedMonth, 1);
        }
        if (n == 2)
            return accept(YearOf(numbers[1]), namedMonth, Small(numbers[0])) ||
                   accept(YearOf(numbers[0]), namedMonth, Small(numbers[1]));
        return false;
    }
    const bool dayFirst = locale.dateOrder == DateOrder::DayMonthYear;
    if (n == 2) {
        const Token &a = numbers[0], &b = numbers[1];
        const int year = CurrentYear();
        const bool dayMonth = dayFirst ? accept(year, Small(b), Small(a)) || accept(year, Small(a), Small(b))
                                       : accept(year, Small(a), Small(b)) || accept(year, Small(b), Small(a));
        return dayMonth || accept(YearOf(b), Small(a), 1) || accept(YearOf(a), Small(b), 1);
    }
    if (n == 3) {
        const Token &a = numbers[0], &b = numbers[1], &c = numbers[2];
        if (locale.dateOrder == DateOrder::YearMonthDay && accept(YearOf(a), Small(b), Small(c)))
            return true;
        // A month-first locale tries year-month-day before day-month-year.
        if (dayFirst)
            return accept(YearOf(c), Small(b), Small(a)) || accept(YearOf(c), Small(a), Small(b)) ||
                   accept(YearOf(a), Small(b), Small(c));
        return accept(YearOf(c), Small(a), Small(b)) || accept(YearOf(a), Small(b), Small(c)) ||
               accept(YearOf(c), Small(b), Small(a));
    }
    return false;
}

} // namespace

bool SplitDate(double date, DateTimeParts& out) {
    if (!(date > kMinDate - 1.0 && date < kMaxDate + 1.0))
        return false;
    const double whole = std::trunc(date);
    long day = static_cast<long>(whole);
    long seconds = static_cast<long>(std::floor(std::fabs(date - whole) * kSecondsPerDay + 0.5));
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        ++day;
    }
    CivilFromDays(day - kSerialOfUnixEpoch, out.year, out.month, out.day);
    out.hour = static_cast<int>(seconds / 3600);
    out.minute = static_cast<int>(seconds / 60 % 60);
    out.second = static_cast<int>(seconds % 60);
    out.dayOfWeek = static_cast<int>(((day + 6) % 7 + 7) % 7); // 30 December 1899 was a Saturday
    return true;
}

bool MakeDate(int year, int month, int day, int hour, int minute, int second, double& out) {
    if (!ValidDate(year, month, day) || !ValidTime(hour, minute, second))
        return false;
    out = WithTime(static_cast<double>(DaysFromCivil(year, month, day) + kSerialOfUnixEpoch), hour, minute, second);
    return true;
}

HRESULT FormatDate(double date, const LocaleData& locale, std::u16string& out) {
    DateTimeParts parts{};
    if (locale.shortDate.empty() || !SplitDate(date, parts))
        return E_INVALIDARG;
    // Day zero shows the time alone and a midnight the date alone, judged before rounding.
    const double whole = std::trunc(date);
    const bool withDate = whole != 0;
    const bool withTime = !withDate || date != whole;
    out.clear();
    if (withDate)
        AppendFormatted(out, locale.shortDate, parts, locale);
    if (withDate && withTime)
        out += u' ';
    if (withTime)
        AppendFormatted(out, locale.timeFormat, parts, locale);
    return S_OK;
}

HRESULT ParseDate(std::u16string_view text, const LocaleData& locale, double& out) {
    std::vector<Token> tokens;
    if (!Tokenize(text, locale, tokens))
        return DISP_E_TYPEMISMATCH;

    std::vector<Token> numbers;
    int namedMonth = 0;
    bool haveTime = false;
    int hour = 0, minute = 0, second = 0;
    Meridiem meridiem = kNoMeridiem;
    const size_t n = tokens.size();
    auto kindAt = [&](size_t i) { return i < n ? tokens[i].kind : Token::Word; };
    auto isNumber = [&](size_t i) { return i < n && tokens[i].kind == Token::Number; };

    for (size_t i = 0; i < n;) {
        const Token& token = tokens[i];
        const bool startsTime = token.kind == Token::Number && i + 1 < n &&
                                (kindAt(i + 1) == Token::TimeSeparator || MeridiemOf(tokens[i + 1], locale));
        if (startsTime) {
            if (haveTime)
                return DISP_E_TYPEMISMATCH;
            haveTime = true;
            hour = Small(token);
            ++i;
            if (kindAt(i) == Token::TimeSeparator) {
                if (!isNumber(i + 1))
                    return DISP_E_TYPEMISMATCH;
                minute = Small(tokens[i + 1]);
                i += 2;
                if (kindAt(i) == Token::TimeSeparator) {
                    if (!isNumber(i + 1))
                        return DISP_E_TYPEMISMATCH;
                    second = Small(tokens[i + 1]);
                    i += 2;
                }
            }
            if (i < n && (meridiem = MeridiemOf(tokens[i], locale)) != kNoMeridiem)
                ++i;
            if (kindAt(i) == Token::TimeSeparator && i < n)
                return DISP_E_TYPEMISMATCH;
            continue;
        }
        if (token.kind == Token::Number) {
            numbers.push_back(token);
        } else if (const int month = MonthOf(token, locale); month && !namedMonth) {
            namedMonth = month;
        } else {
            return DISP_E_TYPEMISMATCH;
        }
        ++i;
        // A date separator only joins two parts of the date.
        if (i < n && tokens[i].kind == Token::DateSeparator) {
            if (!isNumber(i + 1) && !(i + 1 < n && MonthOf(tokens[i + 1], locale)))
                return DISP_E_TYPEMISMATCH;
            ++i;
        }
    }

    if (meridiem == kPm && hour < 12)
        hour += 12;
    else if (meridiem == kAm && hour == 12)
        hour = 0;
    if (!ValidTime(hour, minute, second))
        return DISP_E_TYPEMISMATCH;

    if (numbers.empty() && !namedMonth) {
        if (!haveTime)
            return DISP_E_TYPEMISMATCH;
        out = WithTime(0, hour, minute, second);
        return S_OK;
    }
    Ymd date{};
    if (!ResolveDate(numbers, namedMonth, locale, date) ||
        !MakeDate(date.year, date.month, date.day, hour, minute, second, out))
        return DISP_E_TYPEMISMATCH;
    return S_OK;
}

// The runtime carries surplus days, hours, minutes and seconds over (30 February is 2 March,
// hour 24 the next day) and reads years below 100 as two-digit years.
bool DateOfSystemTime(const SYSTEMTIME& st, double& out) {
    if (st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1 || st.wDay > 31 || st.wYear > 9999)
        return false;
    const int year = st.wYear < 100 ? (st.wYear < 50 ? 2000 : 1900) + st.wYear : st.wYear;
    const long seconds = st.wHour * 3600L + st.wMinute * 60L + st.wSecond;
    const long serial = DaysFromCivil(year, st.wMonth, 1) + kSerialOfUnixEpoch + st.wDay - 1 + seconds / kSecondsPerDay;
    const long rest = seconds % kSecondsPerDay;
    out = WithTime(static_cast<double>(serial), static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
                   static_cast<int>(rest % 60));
    return out > kMinDate - 1.0 && out < kMaxDate + 1.0;
}

} // namespace platform::oleaut

using namespace platform::oleaut;

extern "C" {

PLATFORM_API INT SystemTimeToVariantTime(LPSYSTEMTIME lpSystemTime, DOUBLE* pvtime) {
    if (!lpSystemTime || !pvtime)
        return FALSE;
    return DateOfSystemTime(*lpSystemTime, *pvtime) ? TRUE : FALSE;
}

PLATFORM_API INT VariantTimeToSystemTime(DOUBLE vtime, LPSYSTEMTIME lpSystemTime) {
    DateTimeParts parts{};
    if (!lpSystemTime || !SplitDate(vtime, parts))
        return FALSE;
    *lpSystemTime = SYSTEMTIME{static_cast<WORD>(parts.year),   static_cast<WORD>(parts.month),
                               static_cast<WORD>(parts.dayOfWeek), static_cast<WORD>(parts.day),
                               static_cast<WORD>(parts.hour),   static_cast<WORD>(parts.minute),
                               static_cast<WORD>(parts.second), 0};
    return TRUE;
}

} // extern "C"
