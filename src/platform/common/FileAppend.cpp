// One append of a piece of data to a file shared with other processes (the debug log: several
// hosts, or several copies of the driver, may trace into the same day's file at once).
#include "platform/FileAppend.h"

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace platform {

#ifdef _WIN32

namespace {

// How long a writer waits for a file held by another program, or for its turn behind another
// writer, before it gives up waiting: long enough for any other writer's line, short enough not
// to hold up the host's call.
constexpr ULONGLONG PatienceMs = 1000;

// A byte far past any real end of file that writers lock while they append: readers and the
// data itself are never locked.
constexpr DWORD TurnOffsetHigh = 0x7FFFFFFF;

bool Busy(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION; }

} // namespace

bool AppendToFile(const std::string& fileNameAnsi, std::string_view data) noexcept {
    if (data.size() > MAXDWORD)
        return false;
    const ULONGLONG deadline = GetTickCount64() + PatienceMs;
    // Append-only access: the system writes every piece at the end of the file as it is then.
    // Read access is there because a lock needs it.
    HANDLE file;
    for (;;) {
        file = CreateFileA(fileNameAnsi.c_str(), FILE_APPEND_DATA | FILE_READ_DATA | SYNCHRONIZE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            break;
        if (!Busy(GetLastError()) || GetTickCount64() >= deadline)
            return false;
        Sleep(1);
    }
    // Not every file system keeps appends of two processes apart (Wine's does not, nor does a
    // network share), so writers take turns. A writer that does not get its turn in time
    // appends anyway rather than lose the line.
    OVERLAPPED turn{};
    turn.OffsetHigh = TurnOffsetHigh;
    bool locked = false;
    for (;;) {
        locked = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &turn) != FALSE;
        if (locked || !Busy(GetLastError()) || GetTickCount64() >= deadline)
            break;
        Sleep(1);
    }
    DWORD written = 0;
    const bool ok = WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
                    written == data.size();
    if (locked)
        UnlockFileEx(file, 0, 1, 0, &turn);
    const bool closed = CloseHandle(file) != FALSE;
    return ok && closed;
}

#else

bool AppendToFile(const std::string& fileNameAnsi, std::string_view data) noexcept {
    const int fd = open(fileNameAnsi.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    // One write call: the kernel appends it whole, never mixed with another process's append.
    // Only a full disk cuts it short; the rest then follows.
    bool ok = true;
    while (ok && !data.empty()) {
        const ssize_t n = write(fd, data.data(), data.size());
        if (n > 0)
            data.remove_prefix(static_cast<std::size_t>(n));
        else
            ok = n < 0 && errno == EINTR;
    }
    const bool closed = close(fd) == 0;
    return ok && closed;
}

#endif

} // namespace platform
