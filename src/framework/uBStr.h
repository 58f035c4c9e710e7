// BStr owns one BSTR: it frees the string it holds when it goes, and hands it out only by
// Detach(). Not copyable; moving passes the string on. Receive() gives the slot for an API's
// out-parameter after freeing what was there.
#pragma once

#include "framework/uTextConversion.h"

#include <utility>

class BStr {
public:
    BStr() noexcept = default;
    explicit BStr(WStringView text);
    static BStr FromUtf8(std::string_view utf8) { return BStr(Utf8ToWide(utf8)); }
    static BStr FromAnsi(std::string_view ansi) { return BStr(AnsiToWide(ansi)); }
    BStr(const BStr&) = delete;
    BStr& operator=(const BStr&) = delete;
    BStr(BStr&& other) noexcept : FStr(std::exchange(other.FStr, nullptr)) {}
    BStr& operator=(BStr&& other) noexcept;
    ~BStr() { Reset(); }

    BSTR Get() const noexcept { return FStr; }
    UINT Length() const noexcept { return FStr ? SysStringLen(FStr) : 0; }
    WString Text() const { return FStr ? WString(FStr, Length()) : WString(); }
    void Reset() noexcept;
    BSTR Detach() noexcept { return std::exchange(FStr, nullptr); }
    BSTR* Receive() noexcept;

private:
    BSTR FStr = nullptr;
};
