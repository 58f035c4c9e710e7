// The receipt tape: 40 columns, one CP1251 byte per column. Lines are laid out here and appended
// to paper.txt (UTF-8) as the printer prints them.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace azimuth {

constexpr std::size_t kPaperWidth = 40;

using Lines = std::vector<std::string>; // CP1251, each at most kPaperWidth

// Text centred in the width (cut to the width when longer).
std::string Center(std::string_view text);
// left ... right in exactly the width; right wins when both do not fit.
std::string Pair(std::string_view left, std::string_view right);
// Splits at line breaks and wraps at the width; control characters other than breaks and
// tabs are not printable and are dropped.
Lines Wrap(std::string_view text);
// The mark between two cut pieces of tape.
std::string CutMark();

// Appends lines to a port's paper file, each cut to the width; a failure to write never fails the printer (the tape is
// a picture of the printout, the fiscal memory is the record).
void PrintLines(const std::filesystem::path& folder, const Lines& lines);

} // namespace azimuth
