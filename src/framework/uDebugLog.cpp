#include "framework/uDebugLog.h"

#include "platform/FileAppend.h"
#include "platform/Platform.h"

#include <cstdio>
#include <sys/stat.h>

namespace {

bool IsDelimiter(char c) { return c == '\\' || c == '/'; }

bool DirectoryExists(std::string path) {
    // The C runtime of Windows refuses a trailing delimiter except on a drive root.
    while (path.size() > 1 && IsDelimiter(path.back()) && !(path.size() == 3 && path[1] == ':'))
        path.pop_back();
    if (path.empty())
        return false;
    struct stat st;
    return stat(path.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == S_IFDIR;
}

std::string DriverFolder() {
    static const char anchor = 0;
    return platform::ModuleFolder(platform::ModuleOf(&anchor));
}

} // namespace

std::string LogTimeText(const TLocalTime& t) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04u.%02u.%02u %02u:%02u:%02u.%03u", t.Year, t.Month, t.Day, t.Hour, t.Minute,
                  t.Second, t.Milliseconds);
    return buf;
}

std::string DatedLogFileName(const std::string& logPathAnsi, std::string_view prefix, const TLocalTime& now) {
    std::string folder = DirectoryExists(logPathAnsi) ? logPathAnsi : DriverFolder();
    if (!folder.empty() && !IsDelimiter(folder.back()))
        folder += platform::PathDelimiter();
    char date[32];
    std::snprintf(date, sizeof date, "%04u.%02u.%02u", now.Year, now.Month, now.Day);
    folder += prefix;
    return folder + date + ".log";
}

bool AppendLogLine(const std::string& fileNameAnsi, std::string_view line) noexcept {
    return platform::AppendToFile(fileNameAnsi, line);
}
