// The debug log's file: its name and the append of one line.
#pragma once

#include "framework/uLocalClock.h"

#include <string>
#include <string_view>

// "<folder><prefix>yyyy.mm.dd.log": the folder is logPath when that directory exists, else the
// folder of the driver library.
std::string DatedLogFileName(const std::string& logPathAnsi, std::string_view prefix, const TLocalTime& now);

// "<folder>Debug_yyyy.mm.dd.log"
inline std::string DebugLogFileName(const std::string& logPathAnsi, const TLocalTime& now) {
    return DatedLogFileName(logPathAnsi, "Debug_", now);
}

// "yyyy.mm.dd hh:nn:ss.zzz"
std::string LogTimeText(const TLocalTime& now);

// Appends one complete line (the caller supplies the line end) in one piece, with the file
// opened and closed around it: lines of writers in this and other processes never mix or
// overwrite each other, and a file held by another program is waited for briefly. Returns
// false when the line could not be written.
bool AppendLogLine(const std::string& fileNameAnsi, std::string_view line) noexcept;
