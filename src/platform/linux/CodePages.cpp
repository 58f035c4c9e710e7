// Conversions between the ANSI and OEM code pages, UTF-8 and UTF-16, with the runtime's rules:
// a negative source length means NUL-terminated and counts the NUL, a zero output size asks for
// the size, a short buffer fails with ERROR_INSUFFICIENT_BUFFER, characters the code page lacks
// become the default character.
#include <iconv.h>

#include <climits>
#include <cstring>

#include "CodePageTables.h"

namespace platform::detail {
namespace {

// The tables are read once from the system's converters; afterwards they are immutable, so any
// number of threads can convert without sharing an iconv descriptor.
SingleByteCodePage LoadSingleByte(const char* iconvName) {
    SingleByteCodePage page;
    iconv_t cd = iconv_open("UTF-16LE", iconvName);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return page;
    for (unsigned b = 0; b < 256; ++b) {
        char in = static_cast<char>(b);
        unsigned char out[4] = {};
        char* inPtr = &in;
        char* outPtr = reinterpret_cast<char*>(out);
        size_t inLeft = 1, outLeft = sizeof(out);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        // A byte the code page leaves undefined (0x98 of 1251) stands for the control character of
        // the same value, as in the system's own tables, so every byte survives a round trip.
        if (rc == static_cast<size_t>(-1) || sizeof(out) - outLeft != 2)
            page.toUnicode[b] = static_cast<char16_t>(b);
        else
            page.toUnicode[b] = static_cast<char16_t>(out[0] | (out[1] << 8));
    }
    iconv_close(cd);
    page.fromUnicode = std::make_unique<std::uint8_t[]>(0x10000);
    for (unsigned b = 255; b > 0; --b)
        page.fromUnicode[page.toUnicode[b]] = static_cast<std::uint8_t>(b);
    return page;
}

const SingleByteCodePage* Loaded(const SingleByteCodePage& page) {
    return page.fromUnicode ? &page : nullptr;
}

} // namespace

const SingleByteCodePage* SingleByteCodePageFor(UINT codePage) {
    switch (codePage) {
    case CP_ACP:
    case CP_THREAD_ACP:
    case 1251: {
        static const SingleByteCodePage ansi = LoadSingleByte("CP1251");
        return Loaded(ansi);
    }
    case CP_OEMCP:
    case 866: {
        static const SingleByteCodePage oem = LoadSingleByte("CP866");
        return Loaded(oem);
    }
    default:
        return nullptr;
    }
}

} // namespace platform::detail

namespace {

using platform::detail::SingleByteCodePage;

// Output of a conversion: counts every unit and stores while there is room; without a buffer it
// only counts (the size query).
template <class Unit>
class Output {
public:
    Output(Unit* buffer, int capacity) : buffer_(buffer), capacity_(capacity) {}

    void Put(Unit unit) {
        if (buffer_) {
            if (count_ >= capacity_) {
                full_ = true;
                return;
            }
            buffer_[count_] = unit;
        }
        ++count_;
    }
    bool Stopped() const { return full_ || count_ > INT_MAX; }

    // The result the API returns, with the last error set on failure.
    int Result() const {
        if (Stopped()) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
        return static_cast<int>(count_);
    }

private:
    Unit* buffer_;
    long long capacity_;
    long long count_ = 0;
    bool full_ = false;
};

constexpr char32_t kIllFormed = 0xFFFFFFFF;
constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at s[i]. An ill-formed sequence consumes its longest valid prefix
// (at least one byte) and yields kIllFormed, so each broken piece becomes one replacement.
char32_t DecodeUtf8(const unsigned char* s, size_t n, size_t& i) {
    unsigned char lead = s[i++];
    if (lead < 0x80)
        return lead;
    int trail;
    unsigned char lo = 0x80, hi = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        trail = 1;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        trail = 2;
        if (lead == 0xE0)
            lo = 0xA0; // overlong
        else if (lead == 0xED)
            hi = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trail = 3;
        if (lead == 0xF0)
            lo = 0x90; // overlong
        else if (lead == 0xF4)
            hi = 0x8F; // beyond U+10FFFF
    } else
        return kIllFormed;
    char32_t cp = lead & (0x3F >> trail);
    for (int k = 0; k < trail; ++k, lo = 0x80, hi = 0xBF) {
        if (i >= n || s[i] < lo || s[i] > hi)
            return kIllFormed;
        cp = (cp << 6) | (s[i++] & 0x3F);
    }
    return cp;
}

void PutUtf16(Output<WCHAR>& out, char32_t cp) {
    if (cp < 0x10000) {
        out.Put(static_cast<WCHAR>(cp));
    } else {
        cp -= 0x10000;
        out.Put(static_cast<WCHAR>(0xD800 + (cp >> 10)));
        out.Put(static_cast<WCHAR>(0xDC00 + (cp & 0x3FF)));
    }
}

void PutUtf8(Output<char>& out, char32_t cp) {
    auto put = [&](unsigned v) { out.Put(static_cast<char>(v)); };
    if (cp < 0x80) {
        put(cp);
    } else if (cp < 0x800) {
        put(0xC0 | (cp >> 6));
        put(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        put(0xE0 | (cp >> 12));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    } else {
        put(0xF0 | (cp >> 18));
        put(0x80 | ((cp >> 12) & 0x3F));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    }
}

size_t WideLength(LPCWSTR s) {
    size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

int Fail(DWORD error) {
    SetLastError(error);
    return 0;
}

} // namespace

extern "C" {

PLATFORM_API UINT WINAPI GetACP() { return 1251; }

PLATFORM_API UINT WINAPI GetOEMCP() { return 866; }

PLATFORM_API int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                                            LPWSTR lpWideCharStr, int cchWideChar) {
    if (!lpMultiByteStr || cbMultiByte == 0 || (!lpWideCharStr && cchWideChar != 0) || cchWideChar < 0)
        return Fail(ERROR_INVALID_PARAMETER);
    const auto* src = reinterpret_cast<const unsigned char*>(lpMultiByteStr);
    size_t n = cbMultiByte < 0 ? std::strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
    Output<WCHAR> out(cchWideChar ? lpWideCharStr : nullptr, cchWideChar);

    if (CodePage == CP_UTF8) {
        if (dwFlags & ~static_cast<DWORD>(MB_ERR_INVALID_CHARS))
            return Fail(ERROR_INVALID_FLAGS);
        for (size_t i = 0; i < n && !out.Stopped();) {
            char32_t cp = DecodeUtf8(src, n, i);
            if (cp == kIllFormed) {
                if (dwFlags & MB_ERR_INVALID_CHARS)
                    return Fail(ERROR_NO_UNICODE_TRANSLATION);
                cp = kReplacement;
            }
            PutUtf16(out, cp);
        }
        return out.Result();
    }

    const SingleByteCodePage* page = platform::detail::SingleByteCodePageFor(CodePage);
    if (!page)
        return Fail(ERROR_INVALID_PARAMETER);
    if (dwFlags & ~static_cast<DWORD>(MB_PRECOMPOSED | MB_COMPOSITE | MB_USEGLYPHCHARS | MB_ERR_INVALID_CHARS))
        return Fail(ERROR_INVALID_FLAGS);
    for (size_t i = 0; i < n && !out.Stopped(); ++i)
        out.Put(page->toUnicode[src[i]]);
    return out.Result();
}

PLATFORM_API int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                                            LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                                            LPBOOL lpUsedDefaultChar) {
    if (!lpWideCharStr || cchWideChar == 0 || (!lpMultiByteStr && cbMultiByte != 0) || cbMultiByte < 0)
        return Fail(ERROR_INVALID_PARAMETER);
    size_t n = cchWideChar < 0 ? WideLength(lpWideCharStr) + 1 : static_cast<size_t>(cchWideChar);
    Output<char> out(cbMultiByte ? lpMultiByteStr : nullptr, cbMultiByte);

    if (CodePage == CP_UTF8) {
        // Every character has a UTF-8 form, so a default character is never used.
        if (lpUsedDefaultChar)
            *lpUsedDefaultChar = FALSE;
        if (dwFlags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS))
            return Fail(ERROR_INVALID_FLAGS);
        for (size_t i = 0; i < n && !out.Stopped(); ++i) {
            char32_t cp = lpWideCharStr[i];
            if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n && lpWideCharStr[i + 1] >= 0xDC00 &&
                lpWideCharStr[i + 1] <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (lpWideCharStr[i + 1] - 0xDC00);
                ++i;
            } else if (cp >= 0xD800 && cp <= 0xDFFF) {
                if (dwFlags & WC_ERR_INVALID_CHARS)
                    return Fail(ERROR_NO_UNICODE_TRANSLATION);
                cp = kReplacement;
            }
            PutUtf8(out, cp);
        }
        return out.Result();
    }

    const SingleByteCodePage* page = platform::detail::SingleByteCodePageFor(CodePage);
    if (!page)
        return Fail(ERROR_INVALID_PARAMETER);
    if (dwFlags & ~static_cast<DWORD>(WC_COMPOSITECHECK | WC_DISCARDNS | WC_SEPCHARS | WC_DEFAULTCHAR |
                                      WC_NO_BEST_FIT_CHARS))
        return Fail(ERROR_INVALID_FLAGS);
    const char defaultChar = lpDefaultChar ? *lpDefaultChar : '?';
    BOOL usedDefault = FALSE;
    for (size_t i = 0; i < n && !out.Stopped(); ++i) {
        std::uint8_t byte;
        if (page->Encode(lpWideCharStr[i], byte)) {
            out.Put(static_cast<char>(byte));
        } else {
            out.Put(defaultChar);
            usedDefault = TRUE;
        }
    }
    if (lpUsedDefaultChar)
        *lpUsedDefaultChar = usedDefault;
    return out.Result();
}

} // extern "C"
