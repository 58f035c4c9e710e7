#include "framework/uBStr.h"

#include <new>

BStr::BStr(WStringView text) {
    FStr = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!FStr)
        throw std::bad_alloc();
}

BStr& BStr::operator=(BStr&& other) noexcept {
    if (this != &other) {
        Reset();
        FStr = other.Detach();
    }
    return *this;
}

void BStr::Reset() noexcept {
    if (BSTR s = std::exchange(FStr, nullptr))
        SysFreeString(s);
}

BSTR* BStr::Receive() noexcept {
    Reset();
    return &FStr;
}
