// The event log: one line for each failure and warning that support needs to see first, without
// the traffic of the debug log. A file per day beside the debug log, shared like it by every till
// and process writing there, and on Windows the system's Application log as well.
#pragma once

#include "framework/uLocalClock.h"
#include "platform/Platform.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

enum class TEventLevel : BYTE { Error, Warning };

// "<folder>Events_yyyy.mm.dd.log", the folder chosen as the debug log's is.
std::string EventLogFileName(const std::string& logPathAnsi, const TLocalTime& now);

// One line of the file with its line end: the time, the device's ID, the level, the text and,
// where there is one, "код N", separated by TABs. Device ID and text are ANSI.
std::string EventLogLine(const TLocalTime& now, std::string_view deviceIDAnsi, TEventLevel level,
                         std::string_view textAnsi, std::optional<LONG> code);

// Appends the event to the day's file in the folder and reports it to the system's log, where the
// driver's event source is registered. Never throws; false when the file line was not written.
bool WriteEventLog(const std::string& folderAnsi, const std::string& deviceIDAnsi, TEventLevel level,
                   std::string_view textUtf8, std::optional<LONG> code) noexcept;

// The pattern with each "%s" replaced by the next of the parts, in order.
std::string EventText(std::string_view pattern, std::initializer_list<std::string_view> parts);
