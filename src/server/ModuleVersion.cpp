// The module's version as its system records it. On Windows that is the VERSIONINFO resource
// linked into the DLL; elsewhere the framework's default (the version compiled in) stands.
#include "framework/uVInfo.h"

#ifdef _WIN32
#include <winver.h>

#include <vector>

namespace {

bool ReadVersionResource(const std::string& fileNameAnsi, TFileVersion& version) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(fileNameAnsi.c_str(), &handle);
    if (size == 0)
        return false;
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoA(fileNameAnsi.c_str(), 0, size, data.data()))
        return false;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof(VS_FIXEDFILEINFO))
        return false;
    version.Major = HIWORD(info->dwFileVersionMS);
    version.Minor = LOWORD(info->dwFileVersionMS);
    version.Release = HIWORD(info->dwFileVersionLS);
    version.Build = LOWORD(info->dwFileVersionLS);
    return true;
}

const bool ReaderInstalled = (SetVersionResourceReader(&ReadVersionResource), true);

} // namespace
#endif
