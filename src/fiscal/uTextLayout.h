// Laying out the text the driver prints itself in fixed-width lines: ANSI text, one byte per
// character, lines separated by CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline constexpr char LineBreak[] = "\r\n";

// The lines of a text broken at CR LF, CR or LF; a break at the very end opens no further line.
std::vector<std::string> SplitLines(std::string_view text);

// The text without blanks and control characters at either end.
std::string_view TrimText(std::string_view text);

// The trimmed text centred in exactly Width characters, or its middle part when it is longer.
std::string CenterText(std::string_view text, int width);

// One line of exactly Width characters: Left at the start and Right at the end with at least one
// space between them; Left gives way first, and a Right of Width characters or more is cut.
std::string JustifyPair(std::string_view left, std::string_view right, int width);

// Every line of the text centred and padded to Width, or cut to Width when longer; each line is
// followed by CR LF.
std::string CenterLines(std::string_view text, int width);
