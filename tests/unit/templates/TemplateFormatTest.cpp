// Field values: conversion by type and the formatting directives, under both decimal separators.
#include "TemplateTestSupport.h"

#include "templates/uTemplateLib.h"

using namespace tpltest;

namespace {

std::string Format(const Variant& value, LONG type, const char* format) {
    return U8(FormatFieldValue(ConvertFieldValue(value, type), type, W(format)));
}

DATE Date(int y, int m, int d, int h, int n) {
    SYSTEMTIME st{static_cast<WORD>(y), static_cast<WORD>(m), 0, static_cast<WORD>(d), static_cast<WORD>(h),
                  static_cast<WORD>(n), 0, 0};
    DATE date = 0;
    SystemTimeToVariantTime(&st, &date);
    return date;
}

struct TNumberCase {
    double Value;
    const char* Format;
    const char* Expected; // with "," for the decimal separator of the test
};

const TNumberCase NumberCases[] = {
    {3.14159, "ND=8;NFD=2", "    3,14"},
    {3.14159, "ND=8;NFD=2;NLZ=1", "00003,14"},
    {3.14159, "ND=8;NFD=2;NDS=-", "    3-14"},
    {-12.5, "ND=8;NFD=2;NLZ=1", "00-12,50"},
    {2.5, "NFD=0", "3"},
    {1.005, "NFD=2", "1,01"},   // rounded on the decimal expansion, half away from zero
    {-2.5, "ND=3", " -3"},
    {1234, "ND=3", "1234"},     // the width never cuts
    {12.5, "", "12,5"},
    {12.5, "ND = 10", "12,5"},  // "ND " is another name
    {12.5, "nfd=3", "12,500"},  // names ignore case
    {12.5, "ЧЦ=6;ЧДЦ=1", "  12,5"},
    {12.5, "ND=-1;ЧЦ=6", "    13"}, // -1 from the Latin name lets the Cyrillic one speak
    {12.5, "ND=x;NFD=1", "12,5"},
    {12.5, "NFD=1;ЧРД=:", "12:5"},
    {12.5, "NFD=1;ЧВН=;ND=6", "0012,5"},
    {12.5, "NLZ;ND=6", "    13"}, // the name alone is no directive
    {0.004, "NFD=2", "0,00"},
};

void CheckNumbers(const std::string& separator) {
    for (const TNumberCase& c : NumberCases) {
        std::string expected = c.Expected;
        for (size_t at = expected.find(','); at != std::string::npos; at = expected.find(',', at + separator.size()))
            expected.replace(at, 1, separator);
        EXPECT_EQ(Format(Variant(c.Value), 1, c.Format), expected) << c.Value << " with " << c.Format;
    }
    // Number-typed text is read with either separator; text that is no number is 0.
    EXPECT_EQ(Format(Variant(W("7.50")), 1, "NFD=2"), "7" + separator + "50");
    EXPECT_EQ(Format(Variant(W("7,50")), 1, "NFD=2"), "7" + separator + "50");
    EXPECT_EQ(Format(Variant(W("seven")), 1, ""), "0");
    EXPECT_EQ(U8(ConvertFieldValue(Variant(W("7.50")), 1).AsWide()), "7" + separator + "5");
}

} // namespace

TEST(TemplateFormat, NumbersWithTheSystemsDecimalComma) { CheckNumbers(","); }

TEST(TemplateFormat, NumbersWithADecimalPoint) {
    TDecimalPoint point;
    if (!point.Active())
        GTEST_SKIP() << "the system has no decimal point here";
    CheckNumbers(".");
}

void CheckDates() {
    const Variant date = Variant::FromDate(Date(2024, 3, 5, 14, 7));
    struct TCase {
        const char* Format;
        const char* Expected;
    } const cases[] = {
        {"ДФ=дд.ММ.гггг ЧЧ:мм", "05.03.2024 14:07"},
        {"DF=d/m/yy h:n", "5.3.24 14:7"},      // / and : are the module's separators
        {"DF=hh:mm", "14:07"},                 // m after an hour is the minute
        {"DF=h AM/PM", "2 PM"},
        {"DF=h a/p", "2 p"},
        {"DF=yyyy 'dd' \"mm\"", "2024 dd mm"}, // quoted text is copied
        {"DF=ddddd", "2024 03 05"},            // the module's short date format
        {"DF=tt", "14 07 00"},                 // and its long time format
        {"DF=к", "q"},
        {"DF=t|c", "14:07|2024 03 05 14 07 00"}, // short time; short date and long time
        {"DF=z zzz", "0 000"},
        {"DF=h:nn ampm", "2:07 PM"},            // ampm is AM or PM whatever the system
        {"", ""},
    };
    for (const TCase& c : cases) {
        const std::string expected = *c.Format ? c.Expected : U8(date.AsWide());
        EXPECT_EQ(Format(date, 2, c.Format), expected) << c.Format;
    }
    // Day and month names are the system's.
    WCHAR month[64] = {}, day[64] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SMONTHNAME1 + 2, month, 64);
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDAYNAME1 + 1, day, 64); // Tuesday
    EXPECT_NE(U8(month), "");
    EXPECT_EQ(Format(date, 2, "DF=dddd mmmm"), U8(day) + " " + U8(month));
    const std::string longDate = Format(date, 2, "DF=dddddd"); // the system's long date format
    EXPECT_NE(longDate.find("2024"), std::string::npos) << longDate;
    EXPECT_NE(longDate.find(U8(month)), std::string::npos) << longDate;
    // On the twelve-hour clock midnight and noon are both 12.
    EXPECT_EQ(Format(Variant::FromDate(Date(2024, 3, 5, 0, 5)), 2, "DF=h:nn a/p"), "12:05 a");
    EXPECT_EQ(Format(Variant::FromDate(Date(2024, 3, 5, 12, 5)), 2, "DF=hh:nn AM/PM"), "12:05 PM");
    // Date-typed text that is no date prints as nothing; a date given as text is read.
    EXPECT_EQ(Format(Variant(W("no date")), 2, "DF=yyyy"), "");
    EXPECT_EQ(Format(Variant(W("2024-03-05")), 2, "DF=yyyy"), "2024");
}

TEST(TemplateFormat, DatesWithTheSystemsSettings) { CheckDates(); }

TEST(TemplateFormat, DatesWithTheOtherSettings) {
    TDecimalPoint point;
    if (!point.Active())
        GTEST_SKIP() << "the system has no decimal point here";
    CheckDates();
}

TEST(TemplateFormat, TypesOfFieldValues) {
    EXPECT_EQ(U8(ConvertFieldValue(Variant(W("D0 EE E3")), 6).AsWide()), "Рог");
    EXPECT_EQ(U8(ConvertFieldValue(Variant(W("41zz4")), 6).AsWide()), std::string("A\0", 2));
    EXPECT_EQ(U8(ConvertFieldValue(Variant(W("text")), 5).AsWide()), "");
    EXPECT_EQ(U8(ConvertFieldValue(Variant(), 0).AsWide()), "");
    EXPECT_THROW(ConvertFieldValue(MakeVariantArray({Variant(1)}), 1), EDriverError);
}
