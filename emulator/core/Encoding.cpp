#include "emulator/Encoding.h"

#include "platform/Platform.h"

#include <climits>

namespace azimuth {

namespace {

constexpr UINT kCp1251 = 1251;
using WideString = std::basic_string<WCHAR>;

WideString ToWide(UINT codePage, std::string_view text) {
    if (text.empty() || text.size() > INT_MAX)
        return {};
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0)
        return {};
    WideString wide(static_cast<std::size_t>(n), WCHAR{});
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string FromWide(UINT codePage, const WideString& wide) {
    if (wide.empty())
        return {};
    int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                nullptr);
    if (n <= 0)
        return {};
    std::string text(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr, nullptr);
    return text;
}

bool IsAscii(std::string_view text) {
    for (unsigned char c : text)
        if (c >= 0x80)
            return false;
    return true;
}

} // namespace

std::string Cp1251ToUtf8(std::string_view text) {
    if (IsAscii(text))
        return std::string(text);
    return FromWide(CP_UTF8, ToWide(kCp1251, text));
}

std::string Utf8ToCp1251(std::string_view text) {
    if (IsAscii(text))
        return std::string(text);
    return FromWide(kCp1251, ToWide(CP_UTF8, text));
}

std::filesystem::path PathFromSystem(std::string_view text) {
    if constexpr (sizeof(std::filesystem::path::value_type) == sizeof(WCHAR)) {
        WideString wide = ToWide(CP_ACP, text);
        return std::filesystem::path(std::basic_string<std::filesystem::path::value_type>(wide.begin(), wide.end()));
    } else {
        return std::filesystem::path(std::string(text));
    }
}

} // namespace azimuth
