// The local wall clock the driver reads (log lines, log file names, default dates). Tests swap
// it to make time stand still or cross midnight.
#pragma once

#include "platform/Platform.h"

struct TLocalTime {
    WORD Year = 0;
    WORD Month = 0;
    WORD Day = 0;
    WORD Hour = 0;
    WORD Minute = 0;
    WORD Second = 0;
    WORD Milliseconds = 0;
};

using TLocalClock = TLocalTime (*)();

TLocalTime LocalNow();
// Installs another clock for the whole process and returns the previous one; nullptr brings
// back the system clock.
TLocalClock SetLocalClock(TLocalClock clock) noexcept;

// The automation date (days since 30.12.1899, time as the fraction) of a local time.
DATE ToOleDate(const TLocalTime& t) noexcept;
DATE LocalNowAsDate();
