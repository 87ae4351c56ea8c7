#pragma once

#include <QtGlobal>

#include <limits>
#include <optional>
#include <vector>

// The offset of local time from UTC at a moment, as localtime_r gives it,
// asked of the system once per UTC day: an offset that is the same at both
// ends of a day holds all through it, as no time zone changes its offset and
// back within a day. On a day with a change, and in a zone that counts leap
// seconds, each moment is asked for itself.
class LocalOffsets {
public:
    LocalOffsets();

    // Seconds east of UTC; nothing for a time the system cannot convert or
    // whose year does not fit an int.
    std::optional<long> At(qint64 utcSeconds);

    // The local wall-clock time as seconds since 1970-01-01 00:00, a leap
    // second read as the second before it; nothing for a time the system
    // cannot convert or whose year does not fit an int.
    std::optional<qint64> LocalSeconds(qint64 utcSeconds);

private:
    struct UtcDay {
        qint64 number = std::numeric_limits<qint64>::min();
        long offset = 0;
        bool uniform = false;
    };
    const UtcDay& Day(qint64 utcSeconds);
    std::vector<UtcDay> m_days;
};
