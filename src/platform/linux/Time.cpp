// Wall-clock time with milliseconds, the tick counter and Sleep.
#include <time.h>

#include <chrono>
#include <thread>

#include "platform/Platform.h"

namespace {

void Fill(SYSTEMTIME* out, const tm& t, long milliseconds) {
    out->wYear = static_cast<WORD>(t.tm_year + 1900);
    out->wMonth = static_cast<WORD>(t.tm_mon + 1);
    out->wDayOfWeek = static_cast<WORD>(t.tm_wday);
    out->wDay = static_cast<WORD>(t.tm_mday);
    out->wHour = static_cast<WORD>(t.tm_hour);
    out->wMinute = static_cast<WORD>(t.tm_min);
    // A leap second (60) is shown as the last second of its minute, which SYSTEMTIME can hold.
    out->wSecond = static_cast<WORD>(t.tm_sec > 59 ? 59 : t.tm_sec);
    out->wMilliseconds = static_cast<WORD>(milliseconds);
}

template <class Convert>
void Now(SYSTEMTIME* out, Convert convert) {
    if (!out)
        return;
    using namespace std::chrono;
    auto now = system_clock::now();
    auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count();
    // Floor division: the same second and milliseconds also before 1970.
    time_t seconds = static_cast<time_t>(ms / 1000 - (ms % 1000 < 0 ? 1 : 0));
    long rest = static_cast<long>(ms - static_cast<long long>(seconds) * 1000);
    tm t{};
    convert(&seconds, &t);
    Fill(out, t, rest);
}

unsigned long long MonotonicMilliseconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<unsigned long long>(ts.tv_sec) * 1000u + static_cast<unsigned long long>(ts.tv_nsec) / 1000000u;
}

} // namespace

extern "C" {

PLATFORM_API void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime) { Now(lpSystemTime, localtime_r); }

PLATFORM_API void WINAPI GetSystemTime(LPSYSTEMTIME lpSystemTime) { Now(lpSystemTime, gmtime_r); }

PLATFORM_API DWORD WINAPI GetTickCount() { return static_cast<DWORD>(MonotonicMilliseconds()); }

PLATFORM_API ULONGLONG WINAPI GetTickCount64() { return MonotonicMilliseconds(); }

PLATFORM_API void WINAPI Sleep(DWORD dwMilliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

} // extern "C"
