// Value of a hexadecimal digit in either case, for narrow and wide text alike; -1 for any other
// character.
#pragma once

namespace platform::detail {

template <class Char>
constexpr int HexDigit(Char c) {
    if (c >= Char('0') && c <= Char('9'))
        return static_cast<int>(c - Char('0'));
    if (c >= Char('a') && c <= Char('f'))
        return static_cast<int>(c - Char('a')) + 10;
    if (c >= Char('A') && c <= Char('F'))
        return static_cast<int>(c - Char('A')) + 10;
    return -1;
}

} // namespace platform::detail
