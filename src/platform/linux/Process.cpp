// Last error, process and thread identifiers, debug output.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/Platform.h"

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

extern "C" {

PLATFORM_API DWORD WINAPI GetLastError() { return lastError; }

PLATFORM_API void WINAPI SetLastError(DWORD dwErrCode) { lastError = dwErrCode; }

PLATFORM_API DWORD WINAPI GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }

PLATFORM_API DWORD WINAPI GetCurrentThreadId() { return static_cast<DWORD>(gettid()); }

PLATFORM_API void WINAPI OutputDebugStringA(LPCSTR lpOutputString) {
    static const bool enabled = std::getenv("ORVEL_DEBUG_OUTPUT") != nullptr;
    if (enabled && lpOutputString)
        std::fputs(lpOutputString, stderr);
}

} // extern "C"
