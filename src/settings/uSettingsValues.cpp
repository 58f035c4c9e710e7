// Reading parameter values for the forms.
#include "settings/uSettingsValues.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

bool ParamInteger(const TBaseDevice& Device, std::string_view Name, LONG& Value, bool UseDefault) {
    try {
        const Variant v = Device.GetParam(Name, UseDefault);
        if (v.IsEmpty())
            return false;
        Value = v.AsInteger();
        return true;
    } catch (const EConversionError&) {
        return false;
    }
}

WString ParamText(const TBaseDevice& Device, std::string_view Name) {
    try {
        return Device.GetParam(Name).AsWide();
    } catch (const EConversionError&) {
        return {};
    }
}

LONG TextToInteger(const WString& Text) {
    const std::string ansi = WideToAnsi(Text);
    char* end = nullptr;
    errno = 0;
    // Read as 64 bits everywhere: a long is 32 bits on Windows and 64 here, and a value beyond a
    // LONG must not come out wrapped on one system and saturated on the other.
    const long long value = std::strtoll(ansi.c_str(), &end, 10);
    if (ansi.empty() || *end != '\0' || errno == ERANGE || value < std::numeric_limits<LONG>::min() ||
        value > std::numeric_limits<LONG>::max())
        return 0;
    return static_cast<LONG>(value);
}

WString LatinUpper(WString Text) {
    for (WCHAR& c : Text)
        if (c >= WCHAR('a') && c <= WCHAR('z'))
            c = static_cast<WCHAR>(c - 'a' + 'A');
    return Text;
}

WCHAR SystemDecimalSeparator() {
    char separator[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) > 1)
        return static_cast<WCHAR>(static_cast<unsigned char>(separator[0]));
    return WCHAR(',');
}
