// The printer speaks CP1251 (one byte per printed column); its files are UTF-8. This is the one
// place that converts between the two.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace azimuth {

std::string Cp1251ToUtf8(std::string_view text);

// Characters that CP1251 lacks become '?'; invalid UTF-8 becomes '?' as well.
std::string Utf8ToCp1251(std::string_view text);

// A UTF-8 literal in the printer's code page (texts in the sources are UTF-8).
inline std::string Ansi(std::string_view utf8) { return Utf8ToCp1251(utf8); }

// A path given in the system's narrow encoding (an environment variable): the ANSI code page on
// Windows, UTF-8 elsewhere.
std::filesystem::path PathFromSystem(std::string_view text);

} // namespace azimuth
