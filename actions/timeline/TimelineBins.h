#pragma once

#include "app/core/LocalOffsets.h"

#include <QString>
#include <QtGlobal>

#include <limits>
#include <vector>

class QLocale;
class RowList;

// The bars of the timeline: rows counted by the local calendar day of their
// time, one bar per day, week, month or run of years, the finest unit that
// keeps the span within kMaxTimelineBars. Rows without a date have a bar of
// their own, the first slot, when there are any.

// A local day as days since 1899-12-30; kNoDay for a row without a date.
constexpr qint64 kNoDay = std::numeric_limits<qint64>::min();
constexpr int kMaxTimelineBars = 120;

enum class TimelineUnit { Day, Week, Month, Years };

struct TimelineBins {
    TimelineUnit unit = TimelineUnit::Day;
    int yearsPerBar = 1;
    // The first day of each dated bar, then the day after the last bar.
    std::vector<qint64> starts;
    // Rows per slot: the undated slot first when there are undated rows.
    std::vector<int> counts;
    int undated = 0;

    int SlotCount() const { return static_cast<int>(counts.size()); }
    bool IsUndatedSlot(int slot) const { return undated > 0 && slot == 0; }
    // The slot of a row's day.
    int SlotOf(qint64 day) const;
    qint64 FirstDay(int slot) const;
    qint64 LastDay(int slot) const;
};

// The day a row is counted on: its time's local calendar day with the offset
// in force then, kNoDay when its date text is empty.
class TimelineDayReader {
public:
    qint64 Day(qint64 utcSeconds);

private:
    LocalOffsets m_offsets;
};
// Appends the days of the rows after the days already known.
void AppendTimelineDays(const RowList& rows, std::vector<qint64>& days);

// Counts the days into bars; weeks start on firstDayOfWeek (1 Monday .. 7 Sunday).
TimelineBins BinDays(const std::vector<qint64>& days, int firstDayOfWeek);

// How long a bar's period is: "per day", "per week", "per month", "per year", "per 10 years".
QString UnitText(const TimelineBins& bins);
// The period of a slot for the axis (short) and for its tool tip (full).
QString SlotAxisText(const TimelineBins& bins, int slot, const QLocale& locale);
QString SlotPeriodText(const TimelineBins& bins, int slot, const QLocale& locale);
