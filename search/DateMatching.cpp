#include "search/DateMatching.h"

#include "app/core/FileSystem.h"
#include "app/core/Timestamp.h"

namespace {
constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kDaysFrom1899To1970 = 25569;
// Time-zone offsets stay within 26 hours, so a local day lies within two
// days of the UTC day.
constexpr qint64 kMarginDays = 2;
// Within this many seconds of 1970 every time has a local date; beyond it the
// conversion itself decides, since a time without one counts as day 0.
constexpr qint64 kSurelyLocalSeconds = qint64(1) << 50;

int Sign(qint64 value)
{
    return (value > 0) - (value < 0);
}
}  // namespace

int DayOffsetSign(qint64 utcSeconds, qint64 pickerDay)
{
    if (utcSeconds < -kSurelyLocalSeconds || utcSeconds > kSurelyLocalSeconds)
        return Sign(LocalDayNumber(utcSeconds) - pickerDay);
    qint64 utcDay = utcSeconds / kSecondsPerDay;
    if (utcSeconds % kSecondsPerDay < 0)
        --utcDay;
    utcDay += kDaysFrom1899To1970;
    if (utcDay + kMarginDays < pickerDay)
        return -1;
    if (utcDay - kMarginDays > pickerDay)
        return 1;
    return Sign(LocalDayNumber(utcSeconds) - pickerDay);
}

bool MatchesRange(RangeMode mode, int d, int e)
{
    switch (mode) {
    case RangeMode::After:
        return d > 0;
    case RangeMode::Before:
        return d < 0;
    case RangeMode::On:
        return d == 0;
    case RangeMode::Between:
        return d >= 0 && e <= 0;
    }
    return false;
}
