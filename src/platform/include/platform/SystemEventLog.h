// The system's own event log (the Application log that administrators read): registration of an
// event source and the report of one event. Nothing to do where the system has no such log.
#pragma once

#include "platform/Platform.h"

#include <string>

namespace platform {

// Registers Source in the Application log with the message resource of MessageFile (the full path
// of a module holding a message table). True when it is registered, or when the system has no
// such log.
PLATFORM_EXT_API bool RegisterEventLogSource(const std::string& SourceAnsi,
                                             const std::string& MessageFileAnsi) noexcept;

// Removes the registration; true when none is left.
PLATFORM_EXT_API bool UnregisterEventLogSource(const std::string& SourceAnsi) noexcept;

// Reports one error or warning with its text under Source, when Source is registered; false when
// it is not (a module registered by an older version has none) or the report failed.
PLATFORM_EXT_API bool ReportSystemEvent(const std::string& SourceAnsi, bool Error,
                                        const WCHAR* Text) noexcept;

} // namespace platform
