#include <gtest/gtest.h>

#include "TestText.h"

using namespace platform_test;

namespace {

// Every byte of 1251 but the one it leaves undefined (0x98), NUL included.
std::string AllDefinedAnsiBytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        if (b != 0x98)
            bytes.push_back(static_cast<char>(b));
    return bytes;
}

} // namespace

TEST(CodePages, AnsiCodePageIsCyrillic) {
    EXPECT_EQ(GetACP(), 1251u);
    EXPECT_EQ(Decode(CP_ACP, "\xC0\xFF"), Decode(1251, "\xC0\xFF"));
}

TEST(CodePages, Cp1251MapsToTheExpectedCharacters) {
    EXPECT_EQ(Decode(1251, "A\xC0\xDF\xE0\xFF\xA8\xB8\xB9\x88\xA5\xB4"),
              Wide(u"AАЯаяЁё№€Ґґ"));
    EXPECT_EQ(Ansi("ПечатьЧека"), "\xCF\xE5\xF7\xE0\xF2\xFC\xD7\xE5\xEA\xE0");
}

TEST(CodePages, Cp1251RoundTripsThroughUtf16AndUtf8) {
    const std::string bytes = AllDefinedAnsiBytes();
    WideString wide = Decode(1251, bytes);
    ASSERT_EQ(wide.size(), bytes.size());

    BOOL usedDefault = TRUE;
    std::string back(bytes.size(), '\0');
    ASSERT_EQ(WideCharToMultiByte(1251, 0, wide.data(), static_cast<int>(wide.size()), back.data(),
                                  static_cast<int>(back.size()), nullptr, &usedDefault),
              static_cast<int>(bytes.size()));
    EXPECT_EQ(back, bytes);
    EXPECT_FALSE(usedDefault);

    std::string utf8 = Encode(CP_UTF8, wide);
    EXPECT_EQ(Decode(CP_UTF8, utf8), wide);
    EXPECT_EQ(Encode(1251, Decode(CP_UTF8, utf8)), bytes);
}

TEST(CodePages, Utf8CoversCharactersBeyondTheBasicPlane) {
    const WideString smile = Wide(u"x\U0001F600y");
    ASSERT_EQ(smile.size(), 4u);
    EXPECT_EQ(Encode(CP_UTF8, smile), "x\xF0\x9F\x98\x80y");
    EXPECT_EQ(Decode(CP_UTF8, "x\xF0\x9F\x98\x80y"), smile);
    EXPECT_EQ(Encode(CP_UTF8, Wide(u"Ёж")), "\xD0\x81\xD0\xB6");
}

TEST(CodePages, OemCodePageIsRussianDos) {
    EXPECT_EQ(Decode(866, "\x8F\xE0\xA8\xA2\xA5\xE2"), Wide(u"Привет"));
    EXPECT_EQ(Encode(866, Wide(u"Ёё")), "\xF0\xF1");
}

TEST(CodePages, MinusOneMeansNulTerminatedAndCountsTheNul) {
    WCHAR wide[8] = {};
    EXPECT_EQ(MultiByteToWideChar(1251, 0, "\xC0\xE1", -1, nullptr, 0), 3);
    ASSERT_EQ(MultiByteToWideChar(1251, 0, "\xC0\xE1", -1, wide, 8), 3);
    EXPECT_EQ(WideString(wide), Wide(u"Аб"));

    char bytes[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr), 5);
    ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, bytes, 8, nullptr, nullptr), 5);
    EXPECT_STREQ(bytes, "\xD0\x90\xD0\xB1");

    // An explicit length does not stop at NUL and adds none.
    EXPECT_EQ(MultiByteToWideChar(1251, 0, "a\0b", 3, wide, 8), 3);
    EXPECT_EQ(wide[1], WCHAR(0));
    EXPECT_EQ(wide[2], WCHAR('b'));
}

TEST(CodePages, ShortBufferFailsWithInsufficientBuffer) {
    const WideString text = Wide(u"Ёжик");
    const int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), 4, nullptr, 0, nullptr, nullptr);
    ASSERT_EQ(needed, 8);
    char bytes[8];
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text.data(), 4, bytes, needed - 1, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text.data(), 4, bytes, needed, nullptr, nullptr), needed);

    char ansi[3];
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(1251, 0, text.data(), 4, ansi, 3, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

    WCHAR wide[2];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(1251, 0, "abc", 3, wide, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(CodePages, UnmappableCharactersBecomeTheDefaultCharacter) {
    const WideString text = Wide(u"Я中z");
    char bytes[4] = {};
    BOOL usedDefault = FALSE;
    ASSERT_EQ(WideCharToMultiByte(1251, 0, text.data(), 3, bytes, 4, nullptr, &usedDefault), 3);
    EXPECT_EQ(std::string(bytes, 3), "\xDF?z");
    EXPECT_TRUE(usedDefault);

    ASSERT_EQ(WideCharToMultiByte(1251, 0, text.data(), 3, bytes, 4, "*", &usedDefault), 3);
    EXPECT_EQ(std::string(bytes, 3), "\xDF*z");
    EXPECT_TRUE(usedDefault);

    ASSERT_EQ(WideCharToMultiByte(1251, 0, text.data(), 1, bytes, 4, nullptr, &usedDefault), 1);
    EXPECT_FALSE(usedDefault);
}

TEST(CodePages, IllFormedUtf8BecomesReplacementOrFailsOnRequest) {
    EXPECT_EQ(Decode(CP_UTF8, "a\xFF" "b"), Wide(u"a\uFFFDb"));
    WCHAR wide[4];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xFF" "b", 3, wide, 4), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));

    // UTF-8 has a form for every character.
    BOOL usedDefault = TRUE;
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, Wide(u"中").c_str(), 1, nullptr, 0, nullptr, &usedDefault), 3);
    EXPECT_FALSE(usedDefault);

    const WCHAR loneSurrogate[] = {WCHAR('a'), WCHAR(0xD800), WCHAR('b')};
    char bytes[8];
    ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, loneSurrogate, 3, bytes, 8, nullptr, nullptr), 5);
    EXPECT_EQ(std::string(bytes, 5), "a\xEF\xBF\xBD" "b");
}

TEST(CodePages, BadArgumentsFailWithInvalidParameter) {
    WCHAR wide[4];
    char bytes[4];
    const WCHAR text[] = {WCHAR('a'), 0};
    struct Case {
        const char* what;
        int result;
    };
    const Case cases[] = {
        {"null source", MultiByteToWideChar(1251, 0, nullptr, 3, wide, 4)},
        {"empty source", MultiByteToWideChar(1251, 0, "abc", 0, wide, 4)},
        {"size without buffer", MultiByteToWideChar(1251, 0, "abc", 3, nullptr, 4)},
        {"unknown code page", MultiByteToWideChar(12345, 0, "abc", 3, wide, 4)},
        {"wide null source", WideCharToMultiByte(1251, 0, nullptr, 1, bytes, 4, nullptr, nullptr)},
        {"wide negative size", WideCharToMultiByte(1251, 0, text, 1, bytes, -2, nullptr, nullptr)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.result, 0);
    }
    SetLastError(0);
    MultiByteToWideChar(1251, 0, nullptr, 3, wide, 4);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}
