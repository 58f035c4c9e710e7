#include "framework/uVInfo.h"

#include <atomic>

namespace {
std::atomic<TVersionResourceReader> Reader{nullptr};
} // namespace

std::string OwnModuleFileName() { return platform::ModuleFileName(platform::ModuleOf(&Reader)); }

void SetVersionResourceReader(TVersionResourceReader reader) noexcept { Reader.store(reader); }

TFileVersion GetFileVersion(const std::string& fileNameAnsi) {
    const std::string own = OwnModuleFileName();
    const std::string& file = fileNameAnsi.empty() ? own : fileNameAnsi;
    TFileVersion version;
    if (TVersionResourceReader read = Reader.load()) {
        if (!read(file, version))
            version = {};
        return version;
    }
    if (file == own)
        version = {ORVEL_VERSION_MAJOR, ORVEL_VERSION_MINOR, ORVEL_VERSION_PATCH, ORVEL_VERSION_TWEAK};
    return version;
}
