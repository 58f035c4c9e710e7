#include "Text.h"

namespace host {

std::string BstrToUtf8(BSTR text) {
    return text ? WideToUtf8(WStringView(text, SysStringLen(text))) : std::string();
}

std::filesystem::path PathFromUtf8(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathToUtf8(const std::filesystem::path& path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace host
