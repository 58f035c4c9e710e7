// BSTR: the 16-bit text is preceded by its length in bytes and followed by a zero character, so
// hosts can read the length without scanning and embedded zeros survive a round trip.
#include <climits>
#include <cstdlib>
#include <cstring>

#include "OleAutoInternal.h"

namespace {

// The length sits in the four bytes just before the text; the header is eight bytes so the text
// keeps the allocator's alignment.
constexpr size_t kHeader = 8;
constexpr size_t kTerminator = sizeof(OLECHAR);
constexpr UINT kMaxBytes = UINT_MAX - kHeader - kTerminator;

char* BlockOf(BSTR text) { return reinterpret_cast<char*>(text) - kHeader; }

BSTR Allocate(const void* bytes, UINT length) {
    if (length > kMaxBytes)
        return nullptr;
    auto* block = static_cast<char*>(std::malloc(kHeader + length + kTerminator));
    if (!block)
        return nullptr;
    const DWORD stored = length;
    std::memcpy(block + kHeader - sizeof(DWORD), &stored, sizeof stored);
    char* text = block + kHeader;
    if (bytes)
        std::memcpy(text, bytes, length);
    else
        std::memset(text, 0, length);
    std::memset(text + length, 0, kTerminator);
    return reinterpret_cast<BSTR>(text);
}

} // namespace

namespace platform::oleaut {

BSTR AllocString(std::u16string_view text) {
    if (text.size() > kMaxBytes / sizeof(OLECHAR))
        return nullptr;
    return Allocate(text.data(), static_cast<UINT>(text.size() * sizeof(OLECHAR)));
}

std::u16string_view StringOf(BSTR text) { return text ? std::u16string_view(text, SysStringLen(text)) : u""; }

} // namespace platform::oleaut

extern "C" {

PLATFORM_API BSTR SysAllocStringByteLen(LPCSTR psz, UINT len) { return Allocate(psz, len); }

PLATFORM_API BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui) {
    if (ui > kMaxBytes / sizeof(OLECHAR))
        return nullptr;
    return Allocate(strIn, ui * static_cast<UINT>(sizeof(OLECHAR)));
}

PLATFORM_API BSTR SysAllocString(const OLECHAR* psz) {
    if (!psz)
        return nullptr;
    return platform::oleaut::AllocString(std::u16string_view(psz));
}

PLATFORM_API INT SysReAllocStringLen(BSTR* pbstr, const OLECHAR* psz, UINT len) {
    if (!pbstr)
        return FALSE;
    // The new text may be part of the old string, so it is copied before the old one goes.
    BSTR fresh = SysAllocStringLen(psz, len);
    if (!fresh)
        return FALSE;
    SysFreeString(*pbstr);
    *pbstr = fresh;
    return TRUE;
}

PLATFORM_API INT SysReAllocString(BSTR* pbstr, const OLECHAR* psz) {
    const UINT length = psz ? static_cast<UINT>(std::u16string_view(psz).size()) : 0;
    return SysReAllocStringLen(pbstr, psz, length);
}

PLATFORM_API void SysFreeString(BSTR bstrString) {
    if (bstrString)
        std::free(BlockOf(bstrString));
}

PLATFORM_API UINT SysStringByteLen(BSTR bstr) {
    if (!bstr)
        return 0;
    DWORD length;
    std::memcpy(&length, BlockOf(bstr) + kHeader - sizeof(DWORD), sizeof length);
    return length;
}

PLATFORM_API UINT SysStringLen(BSTR pbstr) { return SysStringByteLen(pbstr) / sizeof(OLECHAR); }

} // extern "C"
