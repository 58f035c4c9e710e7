// The debug log's file: its name and the append of one line.
#pragma once

#include "framework/uLocalClock.h"

#include <string>
#include <string_view>

// "<folder>Debug_yyyy.mm.dd.log": the folder is logPath when that directory exists, else the
// folder of the driver library.
std::string DebugLogFileName(const std::string& logPathAnsi, const TLocalTime& now);

// "yyyy.mm.dd hh:nn:ss.zzz"
std::string LogTimeText(const TLocalTime& now);

// Appends one complete line (the caller supplies the line end) in a single write, with the
// file opened and closed around it; lines of concurrent writers in this process never mix.
// Returns false when the file cannot be opened or written.
bool AppendLogLine(const std::string& fileNameAnsi, std::string_view line) noexcept;
