// Text at the tool's edges: the console, scenario files and file names are UTF-8.
#pragma once

#include "framework/uCommonUtils.h"

#include <filesystem>
#include <string>

namespace host {

std::string BstrToUtf8(BSTR text);

// File names in UTF-8, whatever the system's own encoding of paths.
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string PathToUtf8(const std::filesystem::path& path);

} // namespace host
