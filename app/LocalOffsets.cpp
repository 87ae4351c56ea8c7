#include "app/LocalOffsets.h"

#include <cstdlib>
#include <ctime>

namespace {
constexpr qint64 kSecondsPerDay = 86400;
constexpr size_t kRememberedDays = 1 << 14;
// Beyond this a day's last second could overflow; such times are asked for one by one.
constexpr qint64 kLargestRememberedTime = qint64(1) << 50;

std::optional<long> SystemOffset(qint64 utcSeconds)
{
    const time_t value = static_cast<time_t>(utcSeconds);
    struct tm local {};
    if (localtime_r(&value, &local) == nullptr)
        return std::nullopt;
    return local.tm_gmtoff;
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

std::optional<long> LocalOffsets::At(qint64 utcSeconds)
{
    if (std::abs(utcSeconds) >= kLargestRememberedTime)
        return SystemOffset(utcSeconds);
    const qint64 number = FloorDiv(utcSeconds, kSecondsPerDay);
    UtcDay& day = m_days[static_cast<size_t>(number) % kRememberedDays];
    if (day.number != number) {
        const std::optional<long> first = SystemOffset(number * kSecondsPerDay);
        const std::optional<long> last = SystemOffset(number * kSecondsPerDay + kSecondsPerDay - 1);
        day = {number, first.value_or(0), first && last && *first == *last};
    }
    return day.uniform ? std::optional<long>(day.offset) : SystemOffset(utcSeconds);
}
