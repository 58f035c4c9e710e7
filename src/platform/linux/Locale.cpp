// Regional settings. The stand-in knows the two locales the driver meets: a Russian installation
// (the default, as on the shops' machines) and US English, plus the invariant locale that code
// uses for culture-independent text.
#include <array>
#include <atomic>
#include <string>

#include "OleAutoInternal.h"

namespace platform::oleaut {
namespace {

constexpr LCID kRussian = 0x0419;
constexpr LCID kEnglishUS = 0x0409;
constexpr LCID kInvariant = LOCALE_INVARIANT;

constexpr std::array<std::u16string_view, 12> kEnglishMonths = {
    u"January", u"February", u"March",     u"April",   u"May",      u"June",
    u"July",    u"August",   u"September", u"October", u"November", u"December"};
constexpr std::array<std::u16string_view, 12> kEnglishMonthAbbreviations = {
    u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun", u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
constexpr std::array<std::u16string_view, 12> kRussianMonths = {
    u"январь", u"февраль", u"март",     u"апрель",  u"май",    u"июнь",
    u"июль",   u"август",  u"сентябрь", u"октябрь", u"ноябрь", u"декабрь"};
constexpr std::array<std::u16string_view, 12> kRussianMonthAbbreviations = {
    u"янв", u"фев", u"мар", u"апр", u"май", u"июн", u"июл", u"авг", u"сен", u"окт", u"ноя", u"дек"};

constexpr std::array<std::u16string_view, 7> kEnglishDays = {u"Monday", u"Tuesday", u"Wednesday", u"Thursday",
                                                             u"Friday", u"Saturday", u"Sunday"};
constexpr std::array<std::u16string_view, 7> kEnglishDayAbbreviations = {u"Mon", u"Tue", u"Wed", u"Thu",
                                                                         u"Fri", u"Sat", u"Sun"};
constexpr std::array<std::u16string_view, 7> kRussianDays = {u"понедельник", u"вторник", u"среда", u"четверг",
                                                             u"пятница", u"суббота", u"воскресенье"};
constexpr std::array<std::u16string_view, 7> kRussianDayAbbreviations = {u"Пн", u"Вт", u"Ср", u"Чт",
                                                                         u"Пт", u"Сб", u"Вс"};

const LocaleData kLocales[] = {
    {kRussian, u"Russian", u",", u"\u00A0", u".", u":", u"dd.MM.yyyy", u"d MMMM yyyy 'г.'", u"H:mm:ss", u"", u"", u"Правда", u"Ложь",
     DateOrder::DayMonthYear, 1251, kRussianMonths.data(), kRussianMonthAbbreviations.data(), kRussianDays.data(),
     kRussianDayAbbreviations.data()},
    {kEnglishUS, u"English", u".", u",", u"/", u":", u"M/d/yyyy", u"dddd, MMMM d, yyyy", u"h:mm:ss tt", u"AM", u"PM", u"True", u"False",
     DateOrder::MonthDayYear, 1252, kEnglishMonths.data(), kEnglishMonthAbbreviations.data(), kEnglishDays.data(),
     kEnglishDayAbbreviations.data()},
    {kInvariant, u"Invariant Language", u".", u",", u"/", u":", u"MM/dd/yyyy", u"dddd, dd MMMM yyyy", u"HH:mm:ss",
     u"AM", u"PM", u"True", u"False", DateOrder::MonthDayYear, 1252, kEnglishMonths.data(), kEnglishMonthAbbreviations.data(),
     kEnglishDays.data(), kEnglishDayAbbreviations.data()},
};

std::atomic<LCID> currentLocale{kRussian};

// Windows' language and sort parts of an LCID.
constexpr WORD LanguageOf(LCID lcid) { return static_cast<WORD>(lcid & 0xFFFF); }
constexpr WORD PrimaryLanguageOf(WORD language) { return language & 0x3FF; }
constexpr WORD SubLanguageOf(WORD language) { return language >> 10; }

LCID Canonical(LCID lcid) {
    if (lcid >> 16) // a sort order other than the default
        return 0;
    const WORD language = LanguageOf(lcid);
    if (language == 0 || language == 0x0400 || language == 0x0800)
        return currentLocale.load();
    if (language == kInvariant)
        return kInvariant;
    const WORD sub = SubLanguageOf(language);
    if (sub > 1)
        return 0;
    switch (PrimaryLanguageOf(language)) {
    case LANG_RUSSIAN:
        return kRussian;
    case LANG_ENGLISH:
        return kEnglishUS;
    default:
        return 0;
    }
}

std::u16string Describe(const LocaleData& locale, DWORD type, bool& known) {
    known = true;
    switch (type) {
    case LOCALE_SDECIMAL:
        return std::u16string(locale.decimal);
    case LOCALE_STHOUSAND:
        return std::u16string(locale.thousand);
    case LOCALE_SDATE:
        return std::u16string(locale.dateSeparator);
    case LOCALE_STIME:
        return std::u16string(locale.timeSeparator);
    case LOCALE_SSHORTDATE:
        return std::u16string(locale.shortDate);
    case LOCALE_SLONGDATE:
        return std::u16string(locale.longDate);
    case LOCALE_STIMEFORMAT:
        return std::u16string(locale.timeFormat);
    case LOCALE_IDATE:
        return locale.dateOrder == DateOrder::MonthDayYear ? u"0"
               : locale.dateOrder == DateOrder::DayMonthYear ? u"1"
                                                              : u"2";
    case LOCALE_IDEFAULTANSICODEPAGE: {
        auto digits = std::to_string(locale.ansiCodePage);
        return std::u16string(digits.begin(), digits.end());
    }
    case LOCALE_SENGLANGUAGE:
        return std::u16string(locale.englishName);
    default:
        if (type >= LOCALE_SDAYNAME1 && type < LOCALE_SDAYNAME1 + 7)
            return std::u16string(locale.dayNames[type - LOCALE_SDAYNAME1]);
        if (type >= LOCALE_SABBREVDAYNAME1 && type < LOCALE_SABBREVDAYNAME1 + 7)
            return std::u16string(locale.dayAbbreviations[type - LOCALE_SABBREVDAYNAME1]);
        if (type >= LOCALE_SMONTHNAME1 && type < LOCALE_SMONTHNAME1 + 12)
            return std::u16string(locale.monthNames[type - LOCALE_SMONTHNAME1]);
        if (type >= LOCALE_SABBREVMONTHNAME1 && type < LOCALE_SABBREVMONTHNAME1 + 12)
            return std::u16string(locale.monthAbbreviations[type - LOCALE_SABBREVMONTHNAME1]);
        known = false;
        return {};
    }
}

// Copies a value out the way every GetLocaleInfo variant does: a size query with cch 0, else the
// value with its terminator or ERROR_INSUFFICIENT_BUFFER.
template <typename Char>
int CopyOut(const std::basic_string<Char>& value, Char* buffer, int cch) {
    const int needed = static_cast<int>(value.size()) + 1;
    if (cch == 0)
        return needed;
    if (cch < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    value.copy(buffer, value.size());
    buffer[value.size()] = 0;
    return needed;
}

// Looks a value up; on failure sets the last error and returns false.
bool Lookup(LCID lcid, DWORD type, int cch, bool bufferGiven, std::u16string& value, UINT& codePage) {
    if (cch < 0 || (cch > 0 && !bufferGiven)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const LocaleData* locale = FindLocale(lcid);
    if (!locale) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    constexpr DWORD kIgnoredFlags = LOCALE_NOUSEROVERRIDE | LOCALE_USE_CP_ACP;
    bool known = false;
    value = Describe(*locale, type & ~kIgnoredFlags, known);
    if (!known) {
        SetLastError(ERROR_INVALID_FLAGS);
        return false;
    }
    codePage = (type & LOCALE_USE_CP_ACP) ? CP_ACP : locale->ansiCodePage;
    return true;
}

const LocaleData kFallback = {0, u"", u".", u",", u"/", u":", u"", u"", u"", u"AM", u"PM", u"True", u"False",
                               DateOrder::MonthDayYear, 1252, kEnglishMonths.data(), kEnglishMonthAbbreviations.data(),
                               kEnglishDays.data(), kEnglishDayAbbreviations.data()};

} // namespace

const LocaleData& FallbackLocale() { return kFallback; }

const LocaleData* FindLocale(LCID lcid) {
    const LCID id = Canonical(lcid);
    for (const LocaleData& locale : kLocales)
        if (locale.id == id)
            return &locale;
    return nullptr;
}

} // namespace platform::oleaut

using namespace platform::oleaut;

extern "C" {

PLATFORM_API int WINAPI GetLocaleInfoW(LCID Locale, DWORD LCType, LPWSTR lpLCData, int cchData) {
    std::u16string value;
    UINT codePage = 0;
    if (!Lookup(Locale, LCType, cchData, lpLCData != nullptr, value, codePage))
        return 0;
    return CopyOut<char16_t>(value, lpLCData, cchData);
}

PLATFORM_API int WINAPI GetLocaleInfoA(LCID Locale, DWORD LCType, LPSTR lpLCData, int cchData) {
    std::u16string value;
    UINT codePage = 0;
    if (!Lookup(Locale, LCType, cchData, lpLCData != nullptr, value, codePage))
        return 0;
    const int wideLength = static_cast<int>(value.size());
    int length = wideLength == 0 ? 0 : WideCharToMultiByte(codePage, 0, value.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (wideLength > 0 && length == 0) {
        // The stand-in converts only its own ANSI code page; the English values are plain ASCII.
        codePage = CP_ACP;
        length = WideCharToMultiByte(codePage, 0, value.data(), wideLength, nullptr, 0, nullptr, nullptr);
    }
    std::string text(static_cast<size_t>(length), '\0');
    if (length > 0)
        WideCharToMultiByte(codePage, 0, value.data(), wideLength, text.data(), length, nullptr, nullptr);
    return CopyOut<char>(text, lpLCData, cchData);
}

PLATFORM_API LCID WINAPI GetUserDefaultLCID() { return currentLocale.load(); }
PLATFORM_API LCID WINAPI GetSystemDefaultLCID() { return currentLocale.load(); }
PLATFORM_API LCID WINAPI GetThreadLocale() { return currentLocale.load(); }

PLATFORM_API BOOL PlatformSetUserDefaultLCID(LCID lcid) {
    const LCID id = Canonical(lcid);
    if (id != kRussian && id != kEnglishUS)
        return FALSE;
    currentLocale.store(id);
    return TRUE;
}

} // extern "C"
