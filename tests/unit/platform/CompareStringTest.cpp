#include <gtest/gtest.h>

#include "TestText.h"

using namespace platform_test;

namespace {

int CompareNoCase(const std::string& a, const std::string& b, LCID locale = LOCALE_SYSTEM_DEFAULT) {
    return CompareStringA(locale, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1);
}

struct Comparison {
    const char* a; // UTF-8, compared in the ANSI code page
    const char* b;
    int expected;
};

} // namespace

TEST(CompareStringA, IgnoresCaseOfLatinAndCyrillicNames) {
    const Comparison cases[] = {
        {"ПечатьЧека", "печатьчека", CSTR_EQUAL},
        {"ПЕЧАТЬЧЕКА", "печатьЧека", CSTR_EQUAL},
        {"OpenCheck", "OPENCHECK", CSTR_EQUAL},
        {"Ёлка", "ёЛКА", CSTR_EQUAL},
        {"ЇҐЄІЎЂЉЊЋЏЅЈ", "їґєіўђљњћџѕј", CSTR_EQUAL},
        {"XОтчет_1", "xотчет_1", CSTR_EQUAL}, // Latin X, then Cyrillic
        {"", "", CSTR_EQUAL},
    };
    for (const Comparison& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        EXPECT_EQ(CompareNoCase(Ansi(c.a), Ansi(c.b)), c.expected);
    }
}

TEST(CompareStringA, DifferentLettersAndPrefixesDoNotMatch) {
    const Comparison cases[] = {
        {"ПечатьЧек", "ПечатьЧека", CSTR_LESS_THAN},
        {"ПечатьЧека", "печатьчек", CSTR_GREATER_THAN},
        {"OpenChec", "OpenCheck", CSTR_LESS_THAN},
        {"", "a", CSTR_LESS_THAN},
        {"абв", "АБГ", CSTR_LESS_THAN},
        {"b", "A", CSTR_GREATER_THAN},
        {"Zebra", "арбуз", CSTR_LESS_THAN}, // Latin before Cyrillic
    };
    for (const Comparison& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        EXPECT_EQ(CompareNoCase(Ansi(c.a), Ansi(c.b)), c.expected);
    }
    // Look-alikes from the other alphabet and Е without its dots are other letters.
    EXPECT_NE(CompareNoCase(Ansi("Елка"), Ansi("Ёлка")), CSTR_EQUAL);
    EXPECT_NE(CompareNoCase("Cash", Ansi("Сash")), CSTR_EQUAL); // Cyrillic С
}

TEST(CompareStringA, AcceptsTheLocalesTheDriverUses) {
    const LCID locales[] = {LOCALE_SYSTEM_DEFAULT, LOCALE_USER_DEFAULT, 0x0419, 0x0409};
    for (LCID locale : locales) {
        SCOPED_TRACE(locale);
        EXPECT_EQ(CompareNoCase(Ansi("ЗАКРЫТЬСМЕНУ"), Ansi("закрытьсмену"), locale), CSTR_EQUAL);
    }
}

TEST(CompareStringA, ExplicitLengthsLimitTheComparison) {
    EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, "InitXYZ", 4, "INIT", -1), CSTR_EQUAL);
    EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, "Init", 4, "INIT", 3), CSTR_GREATER_THAN);
    EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, "", 0, "x", 0), CSTR_EQUAL);
}

TEST(CompareStringA, CaseMattersWithoutTheFlag) {
    EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, 0, "Open", -1, "Open", -1), CSTR_EQUAL);
    EXPECT_NE(CompareStringA(LOCALE_SYSTEM_DEFAULT, 0, "open", -1, "Open", -1), CSTR_EQUAL);
    EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, 0, "a", -1, "B", -1), CSTR_LESS_THAN);
}

TEST(CompareStringA, NullStringsAreRefused) {
    SetLastError(0);
    EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, nullptr, -1, "a", -1), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, "a", -1, nullptr, -1), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}
