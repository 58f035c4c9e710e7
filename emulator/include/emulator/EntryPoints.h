// The vendor library's entry points, in the order the driver resolves them.
#pragma once

#include <array>
#include <string_view>

namespace azimuth {

enum class Reach {
    Printer,     // an exchange with the printer: needs a connection, faults apply
    Library,     // answered by the library itself
    Unsupported, // this model does not implement it: answers kNotSupported
};

struct EntryPoint {
    const char* name;
    Reach reach;
};

extern const std::array<EntryPoint, 111> kEntryPoints;

const EntryPoint* FindEntryPoint(std::string_view name);

} // namespace azimuth
