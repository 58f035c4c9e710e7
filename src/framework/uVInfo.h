// File version of a module.
#pragma once

#include "platform/Platform.h"

#include <string>

struct TFileVersion {
    WORD Major = 0;
    WORD Minor = 0;
    WORD Release = 0;
    WORD Build = 0;
};

// The four parts of a module's file version; an empty name means the module this code is
// linked into (the driver library). A file without version information gives 0.0.0.0.
TFileVersion GetFileVersion(const std::string& fileNameAnsi);

// Full file name (ANSI) of the module this code is linked into.
std::string OwnModuleFileName();

// Reading a version resource is a system matter: the server module installs the reader of its
// system at load time. Without one, the module's own version is the one compiled into it and
// other files have none.
using TVersionResourceReader = bool (*)(const std::string& fileNameAnsi, TFileVersion& version);
void SetVersionResourceReader(TVersionResourceReader reader) noexcept;
