// Text helpers for the platform tests: literals are UTF-8 and UTF-16 on both systems, the API
// wants ANSI and WCHAR (wchar_t on Windows, char16_t elsewhere).
#pragma once

#include <string>

#include "platform/Platform.h"

namespace platform_test {

using WideString = std::basic_string<WCHAR>;

inline WideString Wide(std::u16string_view text) { return WideString(text.begin(), text.end()); }

inline WideString Decode(UINT codePage, const std::string& bytes) {
    if (bytes.empty())
        return {};
    int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    WideString out(static_cast<size_t>(n), WCHAR());
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

inline std::string Encode(UINT codePage, const WideString& text) {
    if (text.empty())
        return {};
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// A UTF-8 literal in the ANSI code page.
inline std::string Ansi(const std::string& utf8) { return Encode(CP_ACP, Decode(CP_UTF8, utf8)); }

} // namespace platform_test
