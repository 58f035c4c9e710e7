// Tables of the single-byte code pages, shared by the conversions and the comparison.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "platform/Platform.h"

namespace platform::detail {

struct SingleByteCodePage {
    std::array<char16_t, 256> toUnicode{};
    // Indexed by UTF-16 code unit; 0 means the code page has no byte for it (except for U+0000).
    std::unique_ptr<std::uint8_t[]> fromUnicode;

    bool Encode(char16_t ch, std::uint8_t& byte) const {
        byte = fromUnicode[ch];
        return byte != 0 || ch == 0;
    }
};

// CP_ACP, CP_THREAD_ACP and 1251 give the ANSI table, CP_OEMCP and 866 the OEM one; nullptr for
// any other code page or when the system's converters are missing.
const SingleByteCodePage* SingleByteCodePageFor(UINT codePage);

} // namespace platform::detail
