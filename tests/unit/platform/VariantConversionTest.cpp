// VariantChangeType(Ex) as the driver relies on it: text read and written with the regional
// settings, halves rounded to even, overflow reported rather than wrapped, by-reference sources.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <string>

#include "OleAutoTestSupport.h"

using namespace platform_test;

namespace {

constexpr LCID kRussian = 0x0419;
constexpr LCID kEnglish = 0x0409;

std::string Utf8(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

template <typename Real>
std::string Shortest(Real value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// The result of a conversion as one readable line: the failure, or the type and the value.
std::string Outcome(HRESULT hr, const VARIANT& v) {
    switch (hr) {
    case S_OK: break;
    case DISP_E_OVERFLOW: return "DISP_E_OVERFLOW";
    case DISP_E_TYPEMISMATCH: return "DISP_E_TYPEMISMATCH";
    case DISP_E_BADVARTYPE: return "DISP_E_BADVARTYPE";
    case E_INVALIDARG: return "E_INVALIDARG";
    case E_NOINTERFACE: return "E_NOINTERFACE";
    default: {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
        return code;
    }
    }
    switch (v.vt) {
    case VT_EMPTY: return "EMPTY";
    case VT_NULL: return "NULL";
    case VT_I1: return "I1 " + std::to_string(v.cVal);
    case VT_UI1: return "UI1 " + std::to_string(v.bVal);
    case VT_I2: return "I2 " + std::to_string(v.iVal);
    case VT_UI2: return "UI2 " + std::to_string(v.uiVal);
    case VT_I4: return "I4 " + std::to_string(v.lVal);
    case VT_UI4: return "UI4 " + std::to_string(v.ulVal);
    case VT_INT: return "INT " + std::to_string(v.intVal);
    case VT_I8: return "I8 " + std::to_string(v.llVal);
    case VT_UI8: return "UI8 " + std::to_string(v.ullVal);
    case VT_R4: return "R4 " + Shortest(v.fltVal);
    case VT_R8: return "R8 " + Shortest(v.dblVal);
    case VT_DATE: return "DATE " + Shortest(v.date);
    case VT_CY: return "CY " + std::to_string(v.cyVal.int64);
    case VT_BOOL: return "BOOL " + std::to_string(v.boolVal);
    case VT_BSTR: return "BSTR " + Utf8(TextOf(v.bstrVal));
    default: return "vt " + std::to_string(v.vt);
    }
}

std::string ConvertText(std::u16string_view text, VARTYPE vt, LCID lcid) {
    Var source, result;
    SetText(source, text);
    return Outcome(Convert(result, source.v, vt, lcid), result.v);
}

std::string ConvertR8(double value, VARTYPE vt, LCID lcid = kRussian) {
    Var source, result;
    SetR8(source, value);
    return Outcome(Convert(result, source.v, vt, lcid), result.v);
}

// The source is taken by value: a shallow copy that the conversion only reads.
std::string ConvertVariant(VARIANT source, VARTYPE vt, LCID lcid = kRussian, USHORT flags = 0) {
    Var result;
    return Outcome(Convert(result, source, vt, lcid, flags), result.v);
}

struct TextCase {
    const char16_t* text;
    LCID lcid;
    VARTYPE vt;
    const char* expected;
};

void CheckTextCases(std::initializer_list<TextCase> cases) {
    for (const TextCase& c : cases)
        EXPECT_EQ(ConvertText(c.text, c.vt, c.lcid), c.expected)
            << "\"" << Utf8(c.text) << "\" in 0x" << std::hex << c.lcid << " to vt " << std::dec << c.vt;
}

struct RealCase {
    double value;
    VARTYPE vt;
    const char* expected;
};

void CheckRealCases(std::initializer_list<RealCase> cases, LCID lcid = kRussian) {
    for (const RealCase& c : cases)
        EXPECT_EQ(ConvertR8(c.value, c.vt, lcid), c.expected) << Shortest(c.value) << " to vt " << c.vt;
}

VARIANT Scalar(VARTYPE vt, long long bits) {
    VARIANT v;
    VariantInit(&v);
    v.vt = vt;
    v.llVal = bits;
    return v;
}

VARIANT Currency(long long scaled) {
    VARIANT v = Scalar(VT_CY, 0);
    v.cyVal.int64 = scaled;
    return v;
}

VARIANT Date(double date) {
    VARIANT v = Scalar(VT_DATE, 0);
    v.date = date;
    return v;
}

std::u16string LocaleText(LCID lcid, DWORD type) {
    WCHAR buffer[64] = {};
    const int n = GetLocaleInfoW(lcid, type, buffer, 64);
    return n > 0 ? std::u16string(buffer, buffer + n - 1) : std::u16string();
}

} // namespace

TEST(VariantChangeType, ReadsNumbersWithTheRegionalSettings) {
    CheckTextCases({
        {u"2,5", kRussian, VT_R8, "R8 2.5"},
        {u"1 234,5", kRussian, VT_R8, "R8 1234.5"},
        {u"1\u00A0234,5", kRussian, VT_R8, "R8 1234.5"},
        {u"2.5", kRussian, VT_R8, "DISP_E_TYPEMISMATCH"},
        {u"2.5", kEnglish, VT_R8, "R8 2.5"},
        {u"1,234.5", kEnglish, VT_R8, "R8 1234.5"},
        {u"2,5", kEnglish, VT_I4, "I4 25"},
        {u" 12 ", kRussian, VT_I4, "I4 12"},
        {u"+12", kRussian, VT_I4, "I4 12"},
        {u"-12", kRussian, VT_I4, "I4 -12"},
        {u"12-", kRussian, VT_I4, "I4 -12"},
        {u"(12)", kRussian, VT_I4, "I4 -12"},
        {u"1,5e2", kRussian, VT_I2, "I2 150"},
        {u"1E3", kEnglish, VT_R8, "R8 1000"},
        {u"&HFF", kRussian, VT_I4, "I4 255"},
        {u"&HFFFF", kRussian, VT_I2, "I2 -1"},
        {u"&O17", kRussian, VT_UI1, "UI1 15"},
        {u"1,5", kRussian, VT_CY, "CY 15000"},
        {u"1,5", kRussian, VT_BSTR, "BSTR 1,5"},
    });
}

TEST(VariantChangeType, RefusesTextThatIsNoNumber) {
    for (const char16_t* text : {u"", u" ", u"abc", u"12abc", u"0x10", u"1d2", u"1e", u"--1", u"(12", u"12,5,"})
        EXPECT_EQ(ConvertText(text, VT_I4, kRussian), "DISP_E_TYPEMISMATCH") << Utf8(text);
    EXPECT_EQ(ConvertText(u"abc", VT_R8, kEnglish), "DISP_E_TYPEMISMATCH");
    EXPECT_EQ(ConvertText(u"abc", VT_CY, kRussian), "DISP_E_TYPEMISMATCH");
}

TEST(VariantChangeType, TextToIntegerRoundsHalvesToEvenAndReportsOverflow) {
    CheckTextCases({
        {u"2,5", kRussian, VT_I4, "I4 2"},
        {u"3,5", kRussian, VT_I4, "I4 4"},
        {u"-2,5", kRussian, VT_I4, "I4 -2"},
        {u"-0,5", kRussian, VT_UI1, "UI1 0"},
        {u"2,500001", kRussian, VT_I4, "I4 3"},
        {u"40000", kRussian, VT_I2, "DISP_E_OVERFLOW"},
        {u"40000", kRussian, VT_UI2, "UI2 40000"},
        {u"256", kRussian, VT_UI1, "DISP_E_OVERFLOW"},
        {u"-1", kRussian, VT_UI1, "DISP_E_OVERFLOW"},
        {u"3000000000", kRussian, VT_I4, "DISP_E_OVERFLOW"},
        {u"3000000000", kRussian, VT_UI4, "UI4 3000000000"},
        {u"2147483647,5", kRussian, VT_I4, "DISP_E_OVERFLOW"},
        {u"-2147483648,5", kRussian, VT_I4, "I4 -2147483648"},
        {u"9223372036854775807", kRussian, VT_I8, "I8 9223372036854775807"},
        {u"9223372036854775808", kRussian, VT_I8, "DISP_E_OVERFLOW"},
        {u"18446744073709551615", kRussian, VT_UI8, "UI8 18446744073709551615"},
        {u"1e400", kRussian, VT_R8, "DISP_E_OVERFLOW"},
        {u"922337203685478", kRussian, VT_CY, "DISP_E_OVERFLOW"},
    });
}

TEST(VariantChangeType, FloatingToIntegerRoundsHalvesToEven) {
    CheckRealCases({
        {2.5, VT_I4, "I4 2"},
        {3.5, VT_I4, "I4 4"},
        {-2.5, VT_I4, "I4 -2"},
        {-1.5, VT_I4, "I4 -2"},
        {0.5, VT_I4, "I4 0"},
        {-0.5, VT_I4, "I4 0"},
        {2.51, VT_I4, "I4 3"},
        {2147483646.5, VT_I4, "I4 2147483646"},
        {2147483647.5, VT_I4, "DISP_E_OVERFLOW"},
        {-2147483648.5, VT_I4, "I4 -2147483648"},
        {3e9, VT_I4, "DISP_E_OVERFLOW"},
        {3e9, VT_UI4, "UI4 3000000000"},
        {254.5, VT_UI1, "UI1 254"},
        {255.5, VT_UI1, "DISP_E_OVERFLOW"},
        {-0.5, VT_UI1, "UI1 0"},
        {-0.51, VT_UI1, "DISP_E_OVERFLOW"},
        {127.5, VT_I1, "DISP_E_OVERFLOW"},
        {-128.5, VT_I1, "I1 -128"},
        {32767.5, VT_I2, "DISP_E_OVERFLOW"},
        {1e20, VT_I8, "DISP_E_OVERFLOW"},
        {3.4e38, VT_R4, "R4 3.4e+38"},
        {3.5e38, VT_R4, "DISP_E_OVERFLOW"},
    });
    EXPECT_EQ(ConvertVariant(Date(45000.5), VT_I4), "I4 45000");
    EXPECT_EQ(ConvertVariant(Date(45001.5), VT_I4), "I4 45002");
}

TEST(VariantChangeType, CurrencyRoundsHalvesToEven) {
    // Binary fractions, so that the halves are exact.
    CheckRealCases({
        {0.03125, VT_CY, "CY 312"},
        {0.09375, VT_CY, "CY 938"},
        {-0.03125, VT_CY, "CY -312"},
        {1.5, VT_CY, "CY 15000"},
        {922337203685477.5, VT_CY, "CY 9223372036854775000"},
        {922337203685478.0, VT_CY, "DISP_E_OVERFLOW"},
    });
    EXPECT_EQ(ConvertText(u"0,09375", VT_CY, kRussian), "CY 938");
    EXPECT_EQ(ConvertVariant(Currency(25000), VT_I4), "I4 2");
    EXPECT_EQ(ConvertVariant(Currency(35000), VT_I4), "I4 4");
    EXPECT_EQ(ConvertVariant(Currency(-25000), VT_I4), "I4 -2");
    EXPECT_EQ(ConvertVariant(Currency(-15000), VT_I2), "I2 -2");
    EXPECT_EQ(ConvertVariant(Currency(5000), VT_UI1), "UI1 0");
    EXPECT_EQ(ConvertVariant(Currency(123456789), VT_I2), "I2 12346");
    EXPECT_EQ(ConvertVariant(Currency(21474836475000), VT_I4), "DISP_E_OVERFLOW");
    EXPECT_EQ(ConvertVariant(Currency(12345), VT_R8), "R8 1.2345");
    EXPECT_EQ(ConvertVariant(Scalar(VT_I4, 922337), VT_CY), "CY 9223370000");
    EXPECT_EQ(ConvertVariant(Scalar(VT_I8, 922337203685478), VT_CY), "DISP_E_OVERFLOW");
}

TEST(VariantChangeType, WritesNumbersWithTheRegionalSettings) {
    CheckRealCases({
        {1234.5, VT_BSTR, "BSTR 1234,5"},
        {0.1, VT_BSTR, "BSTR 0,1"},
        {1.0 / 3, VT_BSTR, "BSTR 0,333333333333333"},
        {2.0 / 3, VT_BSTR, "BSTR 0,666666666666667"},
        {-0.0, VT_BSTR, "BSTR 0"},
        {123456789012345.0, VT_BSTR, "BSTR 123456789012345"},
        {1e20, VT_BSTR, "BSTR 1E+20"},
    });
    CheckRealCases({{1234.5, VT_BSTR, "BSTR 1234.5"}, {0.1, VT_BSTR, "BSTR 0.1"}}, kEnglish);

    VARIANT single = Scalar(VT_R4, 0);
    single.fltVal = 123456.7f;
    EXPECT_EQ(ConvertVariant(single, VT_BSTR), "BSTR 123456,7");
    single.fltVal = 0.1f;
    EXPECT_EQ(ConvertVariant(single, VT_BSTR), "BSTR 0,1");
    EXPECT_EQ(ConvertVariant(Currency(15000), VT_BSTR), "BSTR 1,5");
    EXPECT_EQ(ConvertVariant(Currency(123456789), VT_BSTR, kEnglish), "BSTR 12345.6789");
    EXPECT_EQ(ConvertVariant(Currency(-1), VT_BSTR), "BSTR -0,0001");
    EXPECT_EQ(ConvertVariant(Currency(10000), VT_BSTR), "BSTR 1");
    EXPECT_EQ(ConvertVariant(Scalar(VT_I4, -5), VT_BSTR), "BSTR -5");
    VARIANT big = Scalar(VT_UI8, 0);
    big.ullVal = 18446744073709551615ULL;
    EXPECT_EQ(ConvertVariant(big, VT_BSTR), "BSTR 18446744073709551615");
}

TEST(VariantChangeType, DatesToTextUseShortDateAndLongTime) {
    EXPECT_EQ(ConvertVariant(Date(45000.5), VT_BSTR), "BSTR 15.03.2023 12:00:00");
    EXPECT_EQ(ConvertVariant(Date(45000), VT_BSTR), "BSTR 15.03.2023");
    EXPECT_EQ(ConvertVariant(Date(0.5), VT_BSTR), "BSTR 12:00:00");
    EXPECT_EQ(ConvertVariant(Date(45000.75), VT_BSTR), "BSTR 15.03.2023 18:00:00");
    EXPECT_EQ(ConvertVariant(Date(45000.99999), VT_BSTR), "BSTR 15.03.2023 23:59:59");
    EXPECT_EQ(ConvertVariant(Date(1), VT_BSTR), "BSTR 31.12.1899");
    EXPECT_EQ(ConvertVariant(Date(-1.5), VT_BSTR), "BSTR 29.12.1899 12:00:00");
    EXPECT_EQ(ConvertVariant(Date(45000.5), VT_BSTR, kEnglish), "BSTR 3/15/2023 12:00:00 PM");
    EXPECT_EQ(ConvertVariant(Date(45000.75), VT_BSTR, kEnglish), "BSTR 3/15/2023 6:00:00 PM");
    EXPECT_EQ(ConvertVariant(Date(0), VT_BSTR, kEnglish), "BSTR 12:00:00 AM");
    EXPECT_EQ(ConvertVariant(Date(2958466), VT_BSTR), "E_INVALIDARG");
    EXPECT_EQ(ConvertVariant(Date(-657435), VT_BSTR), "E_INVALIDARG");
}

TEST(VariantChangeType, HoursBelowTenFollowTheLocaleTimeFormat) {
    // Day zero shows the time alone; the hour is padded only when the format says HH.
    const bool padded = LocaleText(kRussian, LOCALE_STIMEFORMAT).rfind(u"HH", 0) == 0;
    EXPECT_EQ(ConvertVariant(Date(0), VT_BSTR), padded ? "BSTR 00:00:00" : "BSTR 0:00:00");
    EXPECT_EQ(ConvertVariant(Date(45000.25), VT_BSTR), padded ? "BSTR 15.03.2023 06:00:00" : "BSTR 15.03.2023 6:00:00");
}

TEST(VariantChangeType, ReadsDatesWithTheRegionalSettings) {
    CheckTextCases({
        {u"15.03.2023 12:00:00", kRussian, VT_DATE, "DATE 45000.5"},
        {u"15.03.2023", kRussian, VT_DATE, "DATE 45000"},
        {u"12:00:00", kRussian, VT_DATE, "DATE 0.5"},
        {u"0:00:00", kRussian, VT_DATE, "DATE 0"},
        {u"12:30", kRussian, VT_DATE, "DATE 0.5208333333333334"},
        {u"15.03.2023 0:00:00", kRussian, VT_DATE, "DATE 45000"},
        {u"2023-03-15 13:45", kRussian, VT_DATE, "DATE 45000.572916666664"},
        {u"15-03-2023", kRussian, VT_DATE, "DATE 45000"},
        {u"3/15/2023", kRussian, VT_DATE, "DATE 45000"},
        {u"15.03.23", kRussian, VT_DATE, "DATE 45000"},
        {u"1.1.99", kRussian, VT_DATE, "DATE 36161"},
        {u"15.03.30", kRussian, VT_DATE, "DATE 47557"},
        {u"31.12.9999 23:59:59", kRussian, VT_DATE, "DATE 2958465.999988426"},
        {u"1:02:03 PM", kRussian, VT_DATE, "DATE 0.5430902777777777"},
        {u"3/15/2023 12:00:00 PM", kEnglish, VT_DATE, "DATE 45000.5"},
        {u"3/15/2023 1:05:00 PM", kEnglish, VT_DATE, "DATE 45000.54513888888"},
        {u"15/3/2023", kEnglish, VT_DATE, "DATE 45000"},
        {u"March 15, 2023", kEnglish, VT_DATE, "DATE 45000"},
        {u"15 March 2023", kEnglish, VT_DATE, "DATE 45000"},
        {u"15.03.2023 12:00:00", kRussian, VT_BSTR, "BSTR 15.03.2023 12:00:00"},
    });
}

TEST(VariantChangeType, RefusesTextThatIsNoDate) {
    for (const char16_t* text : {u"", u"abc", u"12", u"31.02.2023", u"29.02.2023", u"25:00", u"12:60",
                                 u"15.03.2023 12:00:00,5", u"15.03.2023T12:00", u"-2,5", u"1.2.3.4"})
        EXPECT_EQ(ConvertText(text, VT_DATE, kRussian), "DISP_E_TYPEMISMATCH") << Utf8(text);
    EXPECT_EQ(ConvertText(u"15.03.2023", VT_I4, kRussian), "DISP_E_TYPEMISMATCH");
}

TEST(VariantChangeType, NumbersBecomeDatesWithinTheDateRange) {
    CheckRealCases({
        {45000.5, VT_DATE, "DATE 45000.5"},
        {2958465.9999, VT_DATE, "DATE 2958465.9999"},
        {2958466.0, VT_DATE, "DISP_E_OVERFLOW"},
        {-657434.5, VT_DATE, "DATE -657434.5"},
        {-657435.0, VT_DATE, "DISP_E_OVERFLOW"},
    });
    EXPECT_EQ(ConvertVariant(Scalar(VT_I4, 2958466), VT_DATE), "DISP_E_OVERFLOW");
    EXPECT_EQ(ConvertVariant(Scalar(VT_I4, 45000), VT_DATE), "DATE 45000");
    EXPECT_EQ(ConvertVariant(Date(45000.5), VT_R8), "R8 45000.5");
}

TEST(VariantChangeType, BooleansAreMinusOneAndZero) {
    const VARIANT yes = Scalar(VT_BOOL, VARIANT_TRUE), no = Scalar(VT_BOOL, VARIANT_FALSE);
    EXPECT_EQ(ConvertVariant(yes, VT_I4), "I4 -1");
    EXPECT_EQ(ConvertVariant(yes, VT_I2), "I2 -1");
    EXPECT_EQ(ConvertVariant(yes, VT_UI1), "UI1 255");
    EXPECT_EQ(ConvertVariant(yes, VT_R8), "R8 -1");
    EXPECT_EQ(ConvertVariant(yes, VT_CY), "CY -10000");
    EXPECT_EQ(ConvertVariant(yes, VT_BSTR), "BSTR -1");
    EXPECT_EQ(ConvertVariant(no, VT_BSTR), "BSTR 0");
    EXPECT_EQ(ConvertVariant(yes, VT_BSTR, kRussian, VARIANT_ALPHABOOL), "BSTR True");
    EXPECT_EQ(ConvertVariant(no, VT_BSTR, kRussian, VARIANT_ALPHABOOL), "BSTR False");
    EXPECT_EQ(ConvertVariant(Scalar(VT_I4, 5), VT_BOOL), "BOOL -1");
    EXPECT_EQ(ConvertVariant(Currency(1), VT_BOOL), "BOOL -1");
    CheckRealCases({{0.0, VT_BOOL, "BOOL 0"}, {0.1, VT_BOOL, "BOOL -1"}});
    CheckTextCases({
        {u"True", kRussian, VT_BOOL, "BOOL -1"},
        {u"false", kRussian, VT_BOOL, "BOOL 0"},
        {u"FALSE", kEnglish, VT_BOOL, "BOOL 0"},
        {u"#TRUE#", kRussian, VT_BOOL, "BOOL -1"},
        {u"1", kRussian, VT_BOOL, "BOOL -1"},
        {u"0,0", kRussian, VT_BOOL, "BOOL 0"},
        {u"abc", kRussian, VT_BOOL, "DISP_E_TYPEMISMATCH"},
        {u"True", kRussian, VT_I4, "DISP_E_TYPEMISMATCH"},
    });
}

TEST(VariantChangeType, EmptyIsZeroAndNullConvertsToNothingElse) {
    VARIANT empty = Scalar(VT_EMPTY, 0), null = Scalar(VT_NULL, 0);
    EXPECT_EQ(ConvertVariant(empty, VT_I4), "I4 0");
    EXPECT_EQ(ConvertVariant(empty, VT_R8), "R8 0");
    EXPECT_EQ(ConvertVariant(empty, VT_CY), "CY 0");
    EXPECT_EQ(ConvertVariant(empty, VT_DATE), "DATE 0");
    EXPECT_EQ(ConvertVariant(empty, VT_BOOL), "BOOL 0");
    Var text;
    ASSERT_EQ(Convert(text, empty, VT_BSTR), S_OK);
    ASSERT_NE(text.v.bstrVal, nullptr);
    EXPECT_EQ(SysStringLen(text.v.bstrVal), 0u);

    for (VARTYPE vt : {VT_I4, VT_R8, VT_CY, VT_DATE, VT_BOOL, VT_BSTR, VT_EMPTY})
        EXPECT_EQ(ConvertVariant(null, vt), "DISP_E_TYPEMISMATCH") << vt;
    EXPECT_EQ(ConvertVariant(null, VT_NULL), "NULL");
}

TEST(VariantChangeType, DefaultLocaleIsTheRussianOne) {
    Var source, result;
    SetText(source, u"1 234,5");
    ASSERT_EQ(VariantChangeType(&result.v, &source.v, 0, VT_R8), S_OK);
    EXPECT_EQ(result.v.dblVal, 1234.5);
    EXPECT_EQ(GetUserDefaultLCID(), kRussian);
    EXPECT_EQ(ConvertR8(0.5, VT_BSTR, LOCALE_USER_DEFAULT), "BSTR 0,5");
    EXPECT_EQ(ConvertR8(0.5, VT_BSTR, LOCALE_SYSTEM_DEFAULT), "BSTR 0,5");
}

TEST(VariantChangeType, ReadsThroughReferences) {
    SHORT small = -5;
    VARIANT byRef = Scalar(VT_BYREF | VT_I2, 0);
    byRef.piVal = &small;
    EXPECT_EQ(ConvertVariant(byRef, VT_I4), "I4 -5");
    EXPECT_EQ(ConvertVariant(byRef, VT_BSTR), "BSTR -5");

    BSTR text = MakeBstr(u"2,5");
    VARIANT byRefText = Scalar(VT_BYREF | VT_BSTR, 0);
    byRefText.pbstrVal = &text;
    EXPECT_EQ(ConvertVariant(byRefText, VT_R8), "R8 2.5");

    Var inner;
    SetText(inner, u"15");
    VARIANT byRefVariant = Scalar(VT_BYREF | VT_VARIANT, 0);
    byRefVariant.pvarVal = &inner.v;
    EXPECT_EQ(ConvertVariant(byRefVariant, VT_I4), "I4 15");

    LONG number = 7;
    VARIANT innerRef = Scalar(VT_BYREF | VT_I4, 0);
    innerRef.plVal = &number;
    byRefVariant.pvarVal = &innerRef;
    EXPECT_EQ(ConvertVariant(byRefVariant, VT_BSTR), "BSTR 7");

    VARIANT dangling = Scalar(VT_BYREF | VT_I4, 0);
    dangling.plVal = nullptr;
    EXPECT_EQ(ConvertVariant(dangling, VT_I4), "DISP_E_TYPEMISMATCH");

    // The referenced storage is only read.
    EXPECT_EQ(small, -5);
    EXPECT_EQ(TextOf(text), u"2,5");
    EXPECT_EQ(inner.v.vt, VT_BSTR);
    SysFreeString(text);
}

TEST(VariantChangeType, ConvertsInPlaceAndLeavesTheTargetAloneOnFailure) {
    Var value;
    SetText(value, u"15");
    ASSERT_EQ(VariantChangeType(&value.v, &value.v, 0, VT_I4), S_OK);
    EXPECT_EQ(Outcome(S_OK, value.v), "I4 15");
    ASSERT_EQ(VariantChangeType(&value.v, &value.v, 0, VT_BSTR), S_OK);
    EXPECT_EQ(Outcome(S_OK, value.v), "BSTR 15");

    Var bad, target;
    SetText(bad, u"x");
    target.v.vt = VT_I4;
    target.v.lVal = 1234;
    EXPECT_EQ(VariantChangeType(&target.v, &bad.v, 0, VT_I4), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Outcome(S_OK, target.v), "I4 1234");

    // A string in the target is released when the conversion succeeds.
    SetText(target, u"old");
    EXPECT_EQ(VariantChangeType(&target.v, &value.v, 0, VT_I4), S_OK);
    EXPECT_EQ(Outcome(S_OK, target.v), "I4 15");
}

TEST(VariantChangeType, RefusesUnknownAndUnconvertibleTypes) {
    const VARIANT number = Scalar(VT_I4, 5);
    EXPECT_EQ(ConvertVariant(number, 15), "DISP_E_BADVARTYPE");
    EXPECT_EQ(ConvertVariant(number, 0x50), "DISP_E_BADVARTYPE");
    EXPECT_EQ(ConvertVariant(number, VT_VARIANT), "DISP_E_TYPEMISMATCH");
    EXPECT_EQ(ConvertVariant(number, VT_BYREF | VT_I4), "DISP_E_TYPEMISMATCH");
    EXPECT_EQ(ConvertVariant(number, VT_DISPATCH), "DISP_E_TYPEMISMATCH");
    EXPECT_EQ(ConvertVariant(number, VT_ARRAY | VT_I4), "DISP_E_TYPEMISMATCH");
    EXPECT_EQ(ConvertVariant(Scalar(15, 0), VT_I4), "DISP_E_BADVARTYPE");
    const VARIANT error = Scalar(VT_ERROR, DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(ConvertVariant(error, VT_I4), "DISP_E_TYPEMISMATCH");
    EXPECT_EQ(ConvertVariant(error, VT_BSTR), "DISP_E_TYPEMISMATCH");
}

TEST(VariantChangeType, ObjectsConvertThroughTheirDefaultProperty) {
    ValueObject object;
    object.value.vt = VT_I4;
    object.value.lVal = 42;
    VARIANT dispatch = Scalar(VT_DISPATCH, 0);
    dispatch.pdispVal = &object;

    EXPECT_EQ(ConvertVariant(dispatch, VT_I4), "I4 42");
    EXPECT_EQ(ConvertVariant(dispatch, VT_BSTR), "BSTR 42");
    EXPECT_EQ(object.propertyReads, 2);
    EXPECT_EQ(ConvertVariant(dispatch, VT_I4, kRussian, VARIANT_NOVALUEPROP), "DISP_E_TYPEMISMATCH");
    EXPECT_EQ(object.propertyReads, 2);

    VariantClear(&object.value);
    object.value.vt = VT_BSTR;
    object.value.bstrVal = MakeBstr(u"12,5");
    EXPECT_EQ(ConvertVariant(dispatch, VT_R8), "R8 12.5");

    {
        Var copy;
        ASSERT_EQ(Convert(copy, dispatch, VT_DISPATCH), S_OK);
        EXPECT_EQ(copy.v.pdispVal, &object);
        EXPECT_EQ(object.references, 2);
    }
    EXPECT_EQ(object.references, 1);

    VARIANT nothing = Scalar(VT_DISPATCH, 0);
    nothing.pdispVal = nullptr;
    EXPECT_EQ(ConvertVariant(nothing, VT_I4), "DISP_E_BADVARTYPE");

    PlainObject plain;
    VARIANT unknown = Scalar(VT_UNKNOWN, 0);
    unknown.punkVal = &plain;
    EXPECT_EQ(ConvertVariant(unknown, VT_DISPATCH), "E_NOINTERFACE");
    EXPECT_EQ(ConvertVariant(unknown, VT_I4), "DISP_E_TYPEMISMATCH");
    EXPECT_EQ(plain.references, 1);
}

TEST(VariantChangeType, ByteArraysAndStringsConvertByteForByte) {
    Var text;
    text.v.vt = VT_BSTR;
    text.v.bstrVal = SysAllocStringByteLen("a\0b", 3);
    Var bytes;
    ASSERT_EQ(Convert(bytes, text.v, VT_ARRAY | VT_UI1), S_OK);
    ASSERT_EQ(bytes.v.parray->rgsabound[0].cElements, 3u);
    EXPECT_EQ(static_cast<const char*>(bytes.v.parray->pvData)[2], 'b');

    Var back;
    ASSERT_EQ(Convert(back, bytes.v, VT_BSTR), S_OK);
    EXPECT_EQ(SysStringByteLen(back.v.bstrVal), 3u);
    EXPECT_EQ(ConvertVariant(bytes.v, VT_I4), "DISP_E_TYPEMISMATCH");
}

TEST(RegionalSettings, KnowsTheRussianAndEnglishSettings) {
    struct Expect {
        LCID lcid;
        DWORD type;
        std::u16string value;
    };
    const Expect table[] = {
        {kRussian, LOCALE_SDECIMAL, u","},          {kRussian, LOCALE_STHOUSAND, u"\u00A0"},
        {kRussian, LOCALE_SDATE, u"."},             {kRussian, LOCALE_STIME, u":"},
        {kRussian, LOCALE_SSHORTDATE, u"dd.MM.yyyy"}, {kRussian, LOCALE_IDEFAULTANSICODEPAGE, u"1251"},
        {kEnglish, LOCALE_SDECIMAL, u"."},          {kEnglish, LOCALE_STHOUSAND, u","},
        {kEnglish, LOCALE_SDATE, u"/"},             {kEnglish, LOCALE_STIME, u":"},
        {kEnglish, LOCALE_SSHORTDATE, u"M/d/yyyy"}, {kEnglish, LOCALE_STIMEFORMAT, u"h:mm:ss tt"},
        {kEnglish, LOCALE_IDEFAULTANSICODEPAGE, u"1252"},
        {LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, u","}, {LOCALE_SYSTEM_DEFAULT, LOCALE_SSHORTDATE, u"dd.MM.yyyy"},
    };
    for (const Expect& e : table)
        EXPECT_EQ(LocaleText(e.lcid, e.type), e.value) << std::hex << e.lcid << " " << e.type;

    const std::u16string time = LocaleText(kRussian, LOCALE_STIMEFORMAT);
    EXPECT_TRUE(time == u"H:mm:ss" || time == u"HH:mm:ss") << Utf8(time);

    char ansi[8] = {};
    EXPECT_EQ(GetLocaleInfoA(kRussian, LOCALE_STHOUSAND, ansi, 8), 2);
    EXPECT_EQ(std::string(ansi), "\xA0");
    EXPECT_EQ(GetUserDefaultLCID(), kRussian);
    EXPECT_EQ(GetSystemDefaultLCID(), kRussian);
}

TEST(RegionalSettings, ReportsSizesAndShortBuffers) {
    EXPECT_EQ(GetLocaleInfoW(kRussian, LOCALE_SSHORTDATE, nullptr, 0), 11);
    WCHAR small[4];
    SetLastError(0);
    EXPECT_EQ(GetLocaleInfoW(kRussian, LOCALE_SSHORTDATE, small, 4), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    WCHAR buffer[16];
    SetLastError(0);
    EXPECT_EQ(GetLocaleInfoW(0x10419, LOCALE_SDECIMAL, buffer, 16), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}
