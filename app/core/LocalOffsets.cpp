#include "app/core/LocalOffsets.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <limits>

namespace {
constexpr qint64 kSecondsPerDay = 86400;
constexpr size_t kRememberedDays = 1 << 14;
// Beyond this a day's last second could overflow; such times are asked for one by one.
constexpr qint64 kLargestRememberedTime = qint64(1) << 50;

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar, the
// year counted as localtime_r does (0 is the year before 1).
qint64 DaysSince1970(qint64 year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const qint64 era = (year >= 0 ? year : year - 399) / 400;
    const qint64 yearOfEra = year - era * 400;
    const qint64 dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The local wall-clock time and offset of a moment as localtime_r gives them.
struct SystemTime {
    qint64 localSeconds;
    long offset;
};

std::optional<SystemTime> SystemLocalTime(qint64 utcSeconds)
{
    const time_t value = static_cast<time_t>(utcSeconds);
    struct tm local {};
    if (localtime_r(&value, &local) == nullptr || local.tm_year > std::numeric_limits<int>::max() - 1900)
        return std::nullopt;
    const qint64 day = DaysSince1970(local.tm_year + qint64(1900), local.tm_mon + 1, local.tm_mday);
    const int second = local.tm_hour * 3600 + local.tm_min * 60 + std::min(local.tm_sec, 59);
    return SystemTime{day * kSecondsPerDay + second, local.tm_gmtoff};
}

// True when the wall clock is the moment plus the offset, which a zone that
// counts leap seconds does not keep.
bool Plain(const std::optional<SystemTime>& time, qint64 utcSeconds)
{
    return time && time->localSeconds == utcSeconds + time->offset;
}

qint64 FloorDiv(qint64 value, qint64 divisor)
{
    const qint64 quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}
}  // namespace

LocalOffsets::LocalOffsets() : m_days(kRememberedDays)
{
}

const LocalOffsets::UtcDay& LocalOffsets::Day(qint64 utcSeconds)
{
    const qint64 number = FloorDiv(utcSeconds, kSecondsPerDay);
    UtcDay& day = m_days[static_cast<size_t>(number) % kRememberedDays];
    if (day.number != number) {
        const qint64 start = number * kSecondsPerDay;
        const qint64 end = start + kSecondsPerDay - 1;
        const std::optional<SystemTime> first = SystemLocalTime(start);
        const std::optional<SystemTime> last = SystemLocalTime(end);
        const bool uniform = Plain(first, start) && Plain(last, end) && first->offset == last->offset;
        day = {number, uniform ? first->offset : 0, uniform};
    }
    return day;
}

std::optional<long> LocalOffsets::At(qint64 utcSeconds)
{
    if (std::abs(utcSeconds) < kLargestRememberedTime) {
        const UtcDay& day = Day(utcSeconds);
        if (day.uniform)
            return day.offset;
    }
    const std::optional<SystemTime> time = SystemLocalTime(utcSeconds);
    return time ? std::optional<long>(time->offset) : std::nullopt;
}

std::optional<qint64> LocalOffsets::LocalSeconds(qint64 utcSeconds)
{
    if (std::abs(utcSeconds) < kLargestRememberedTime) {
        const UtcDay& day = Day(utcSeconds);
        if (day.uniform)
            return utcSeconds + day.offset;
    }
    const std::optional<SystemTime> time = SystemLocalTime(utcSeconds);
    return time ? std::optional<qint64>(time->localSeconds) : std::nullopt;
}
