// Comparison of ANSI strings. Names of members and parameters are compared case-insensitively,
// so the fold must cover Cyrillic (with Ё/ё and the other letters of 1251) as well as Latin.
#include <locale.h>
#include <wctype.h>

#include <array>
#include <cstring>

#include "CodePageTables.h"

namespace {

// Per byte of the ANSI code page: its code point, and the code point of its lower-case form.
struct CollationTable {
    std::array<char16_t, 256> exact{};
    std::array<char16_t, 256> folded{};
    bool valid = false;
};

CollationTable BuildTable() {
    CollationTable table;
    const auto* page = platform::detail::SingleByteCodePageFor(CP_ACP);
    if (!page)
        return table;
    // Case mapping comes from the C library's Unicode tables; the plain "C" locale folds ASCII only.
    locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    for (int b = 0; b < 256; ++b) {
        char16_t u = page->toUnicode[b];
        table.exact[b] = u;
        wint_t lower = unicode ? towlower_l(u, unicode) : towlower(u);
        table.folded[b] = lower <= 0xFFFF ? static_cast<char16_t>(lower) : u;
    }
    if (unicode)
        freelocale(unicode);
    table.valid = true;
    return table;
}

const CollationTable& Table() {
    static const CollationTable table = BuildTable();
    return table;
}

bool KnownLocale(LCID locale) {
    switch (locale) {
    case LOCALE_NEUTRAL:
    case LOCALE_INVARIANT:
    case LOCALE_USER_DEFAULT:
    case LOCALE_SYSTEM_DEFAULT:
        return true;
    default: {
        WORD language = locale & 0x3FF;
        return (locale >> 16) == 0 && (language == LANG_RUSSIAN || language == LANG_ENGLISH);
    }
    }
}

// Flags that change nothing for the letters of 1251.
constexpr DWORD kHarmlessFlags = SORT_STRINGSORT | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH;

} // namespace

extern "C" PLATFORM_API int WINAPI CompareStringA(LCID Locale, DWORD dwCmpFlags, LPCSTR lpString1, int cchCount1,
                                                  LPCSTR lpString2, int cchCount2) {
    if (!lpString1 || !lpString2 || cchCount1 < -1 || cchCount2 < -1 || !KnownLocale(Locale)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (dwCmpFlags & ~(NORM_IGNORECASE | kHarmlessFlags)) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    const CollationTable& table = Table();
    if (!table.valid) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t n1 = cchCount1 < 0 ? std::strlen(lpString1) : static_cast<size_t>(cchCount1);
    size_t n2 = cchCount2 < 0 ? std::strlen(lpString2) : static_cast<size_t>(cchCount2);
    const auto* s1 = reinterpret_cast<const unsigned char*>(lpString1);
    const auto* s2 = reinterpret_cast<const unsigned char*>(lpString2);
    // Letters first, case second: like the system, "a" < "B" even when case matters, and then a
    // lower-case letter sorts before its capital.
    for (size_t i = 0; i < n1 && i < n2; ++i) {
        char16_t a = table.folded[s1[i]], b = table.folded[s2[i]];
        if (a != b)
            return a < b ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
    }
    if (n1 != n2)
        return n1 < n2 ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
    if (!(dwCmpFlags & NORM_IGNORECASE)) {
        for (size_t i = 0; i < n1; ++i) {
            if (s1[i] != s2[i]) {
                bool firstIsLower = table.exact[s1[i]] == table.folded[s1[i]];
                return firstIsLower ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
            }
        }
    }
    return CSTR_EQUAL;
}
