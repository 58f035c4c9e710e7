// Appending to a file that other processes append to at the same time.
#pragma once

#include "platform/Platform.h"

#include <string>
#include <string_view>

namespace platform {

// Appends data at the end of a file, creating it when it is missing, with the file opened and
// closed around the write. Processes appending to the same file at once never split or overwrite
// each other's pieces, and a file that another program holds without sharing it is tried again
// for about a second. False when the data could not be written whole.
PLATFORM_EXT_API bool AppendToFile(const std::string& fileNameAnsi, std::string_view data) noexcept;

} // namespace platform
