// Arbitrary text through the automation stand-in's number, currency, date and Boolean readers,
// in both regional settings we know, and the value back to text: nothing may crash, read out of
// bounds or leak, whatever a host or a settings file hands us.
#include "platform/Platform.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 4096)
        return 0;
    // First byte picks the locale; the rest is UTF-16 text (odd trailing byte dropped).
    const LCID lcid = (data[0] & 1) ? 0x0409 : 0x0419;
    std::vector<OLECHAR> text((size - 1) / 2);
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<OLECHAR>(data[1 + 2 * i] | (data[2 + 2 * i] << 8));

    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!source.bstrVal)
        return 0;
    static const VARTYPE targets[] = {VT_I1, VT_I2, VT_I4, VT_I8, VT_UI1, VT_UI4, VT_UI8,
                                      VT_R4, VT_R8, VT_CY, VT_DATE, VT_BOOL, VT_DECIMAL};
    for (VARTYPE target : targets) {
        VARIANT converted;
        VariantInit(&converted);
        if (SUCCEEDED(VariantChangeTypeEx(&converted, &source, lcid, 0, target))) {
            VARIANT back;
            VariantInit(&back);
            VariantChangeTypeEx(&back, &converted, lcid, 0, VT_BSTR);
            VariantClear(&back);
        }
        VariantClear(&converted);
    }
    VariantClear(&source);
    return 0;
}
