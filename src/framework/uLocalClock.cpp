#include "framework/uLocalClock.h"

#include "framework/uExactFloat.h"

#include <atomic>

namespace {

TLocalTime SystemClock() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

std::atomic<TLocalClock> CurrentClock{nullptr};

// Days from 1 January 1970 to a civil date (proleptic Gregorian).
long DaysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

} // namespace

TLocalTime LocalNow() {
    TLocalClock clock = CurrentClock.load();
    return clock ? clock() : SystemClock();
}

TLocalClock SetLocalClock(TLocalClock clock) noexcept { return CurrentClock.exchange(clock); }

DATE ToOleDate(const TLocalTime& t) noexcept {
    // 30.12.1899 is day 0 of the automation calendar.
    const std::int64_t days = DaysFromCivil(t.Year, t.Month, t.Day) - DaysFromCivil(1899, 12, 30);
    const std::int64_t ms = ((std::int64_t{t.Hour} * 60 + t.Minute) * 60 + t.Second) * 1000 + t.Milliseconds;
    // One rounding, done in integers: the same date on every host, to the last bit.
    constexpr std::int64_t MsPerDay = 86400000;
    return ExactRatio(days * MsPerDay + ms, MsPerDay);
}

DATE LocalNowAsDate() { return ToOleDate(LocalNow()); }
