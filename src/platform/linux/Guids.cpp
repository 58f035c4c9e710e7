// GUIDs: the interface identifiers of the runtime, random GUIDs and their text form.
#include <sys/random.h>

#include <cerrno>
#include <cstdio>

#include "HexDigit.h"
#include "platform/Platform.h"

// Declared (and exported) in Unknwn.h.
extern "C" {
const IID IID_NULL = {0x00000000, 0x0000, 0x0000, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}};
const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_ISupportErrorInfo = {0xDF0B3D60, 0x548F, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
}

namespace {

bool RandomBytes(void* buffer, size_t size) {
    auto* p = static_cast<unsigned char*>(buffer);
    while (size > 0) {
        ssize_t n = getrandom(p, size, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // Kernels without getrandom still have the device.
            FILE* device = std::fopen("/dev/urandom", "rb");
            if (!device)
                return false;
            bool ok = std::fread(p, 1, size, device) == size;
            std::fclose(device);
            return ok;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Reads `digits` hexadecimal digits at s[pos].
bool ReadHex(LPCOLESTR s, int pos, int digits, std::uint32_t& value) {
    value = 0;
    for (int i = 0; i < digits; ++i) {
        int v = platform::detail::HexDigit(s[pos + i]);
        if (v < 0)
            return false;
        value = (value << 4) | static_cast<std::uint32_t>(v);
    }
    return true;
}

// Exactly "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", digits in either case. Reading stops at the
// first character that does not fit, so a short string is never read past its NUL.
bool ParseGuid(LPCOLESTR s, GUID& guid) {
    if (s[0] != u'{')
        return false;
    std::uint32_t v;
    if (!ReadHex(s, 1, 8, v) || s[9] != u'-')
        return false;
    guid.Data1 = v;
    if (!ReadHex(s, 10, 4, v) || s[14] != u'-')
        return false;
    guid.Data2 = static_cast<std::uint16_t>(v);
    if (!ReadHex(s, 15, 4, v) || s[19] != u'-')
        return false;
    guid.Data3 = static_cast<std::uint16_t>(v);
    static const int offsets[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (i == 2 && s[24] != u'-')
            return false;
        if (!ReadHex(s, offsets[i], 2, v))
            return false;
        guid.Data4[i] = static_cast<std::uint8_t>(v);
    }
    return s[37] == u'}' && s[38] == 0;
}

size_t Length(LPCOLESTR s) {
    size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

} // namespace

extern "C" {

PLATFORM_API HRESULT WINAPI CoCreateGuid(GUID* pguid) {
    if (!pguid)
        return E_INVALIDARG;
    GUID guid;
    if (!RandomBytes(&guid, sizeof(guid)))
        return E_FAIL;
    guid.Data3 = static_cast<std::uint16_t>((guid.Data3 & 0x0FFF) | 0x4000); // version 4
    guid.Data4[0] = static_cast<std::uint8_t>((guid.Data4[0] & 0x3F) | 0x80); // RFC 4122 variant
    *pguid = guid;
    return S_OK;
}

PLATFORM_API int WINAPI StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax) {
    if (!lpsz || cchMax < 39)
        return 0;
    char text[40];
    std::snprintf(text, sizeof(text), "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", rguid.Data1,
                  rguid.Data2, rguid.Data3, rguid.Data4[0], rguid.Data4[1], rguid.Data4[2], rguid.Data4[3],
                  rguid.Data4[4], rguid.Data4[5], rguid.Data4[6], rguid.Data4[7]);
    for (int i = 0; i < 39; ++i)
        lpsz[i] = static_cast<OLECHAR>(text[i]);
    return 39;
}

PLATFORM_API HRESULT WINAPI IIDFromString(LPCOLESTR lpsz, LPIID lpiid) {
    if (!lpiid)
        return E_INVALIDARG;
    if (!lpsz) {
        *lpiid = IID_NULL;
        return S_OK;
    }
    if (Length(lpsz) != 38)
        return E_INVALIDARG;
    return ParseGuid(lpsz, *lpiid) ? S_OK : CO_E_IIDSTRING;
}

PLATFORM_API HRESULT WINAPI CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid) {
    if (!pclsid)
        return E_INVALIDARG;
    if (!lpsz) {
        *pclsid = IID_NULL;
        return S_OK;
    }
    if (ParseGuid(lpsz, *pclsid))
        return S_OK;
    *pclsid = IID_NULL;
    // What is not a braced GUID may be a ProgID.
    CLSID byProgId;
    HRESULT hr = CLSIDFromProgID(lpsz, &byProgId);
    if (SUCCEEDED(hr))
        *pclsid = byProgId;
    return hr;
}

} // extern "C"
