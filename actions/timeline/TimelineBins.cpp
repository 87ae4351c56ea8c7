#include "actions/timeline/TimelineBins.h"

#include "app/core/RowList.h"
#include "app/core/Timestamp.h"

#include <QDate>
#include <QLocale>

#include <algorithm>
#include <tuple>
#include <utility>

namespace {
const qint64 kJulianDayOfDayZero = QDate(1899, 12, 30).toJulianDay();
constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kDaysFrom1899To1970 = 25569;

QDate DateOf(qint64 day)
{
    return QDate::fromJulianDay(day + kJulianDayOfDayZero);
}

qint64 FloorDiv(qint64 value, qint64 divisor)
{
    const qint64 quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

qint64 WeekStart(qint64 day, int firstDayOfWeek)
{
    // Day zero, 1899-12-30, was a Saturday (6 of 1 Monday .. 7 Sunday).
    const qint64 dayOfWeek = day + 5 - FloorDiv(day + 5, 7) * 7 + 1;
    return day - (dayOfWeek - firstDayOfWeek + 7) % 7;
}

qint64 MonthNumber(const QDate& date)
{
    return date.year() * 12LL + date.month() - 1;
}

// The first year of the bar that holds year; Qt's calendar has no year 0.
int FirstYearOfBar(int year, int yearsPerBar)
{
    const int first = static_cast<int>(FloorDiv(year, yearsPerBar) * yearsPerBar);
    return first == 0 ? 1 : first;
}

// The bar starts from the first day's bar to the last day's, and the day after.
std::vector<qint64> BarStarts(TimelineUnit unit, int yearsPerBar, qint64 firstDay, qint64 lastDay,
                              int firstDayOfWeek)
{
    QDate start = DateOf(firstDay);
    switch (unit) {
    case TimelineUnit::Day:
        break;
    case TimelineUnit::Week:
        start = DateOf(WeekStart(firstDay, firstDayOfWeek));
        break;
    case TimelineUnit::Month:
        start = QDate(start.year(), start.month(), 1);
        break;
    case TimelineUnit::Years:
        start = QDate(FirstYearOfBar(start.year(), yearsPerBar), 1, 1);
        break;
    }
    std::vector<qint64> starts;
    for (;;) {
        const qint64 day = DayNumber(start);
        starts.push_back(day);
        if (day > lastDay)
            return starts;
        switch (unit) {
        case TimelineUnit::Day:
            start = start.addDays(1);
            break;
        case TimelineUnit::Week:
            start = start.addDays(7);
            break;
        case TimelineUnit::Month:
            start = start.addMonths(1);
            break;
        case TimelineUnit::Years:
            start = QDate(FirstYearOfBar(start.year() + yearsPerBar, yearsPerBar), 1, 1);
            break;
        }
    }
}

// The finest unit that shows the span in at most kMaxTimelineBars bars;
// runs of 1, 2, 5, 10, 20, 50, ... years beyond a month's reach.
std::pair<TimelineUnit, int> ChooseUnit(qint64 firstDay, qint64 lastDay, int firstDayOfWeek)
{
    if (lastDay - firstDay < kMaxTimelineBars)
        return {TimelineUnit::Day, 1};
    if ((WeekStart(lastDay, firstDayOfWeek) - WeekStart(firstDay, firstDayOfWeek)) / 7 < kMaxTimelineBars)
        return {TimelineUnit::Week, 1};
    const QDate first = DateOf(firstDay);
    const QDate last = DateOf(lastDay);
    if (MonthNumber(last) - MonthNumber(first) < kMaxTimelineBars)
        return {TimelineUnit::Month, 1};
    for (qint64 years = 1;; years *= 10) {
        for (const qint64 multiple : {1, 2, 5}) {
            const qint64 perBar = years * multiple;
            if (FloorDiv(last.year(), perBar) - FloorDiv(first.year(), perBar) < kMaxTimelineBars)
                return {TimelineUnit::Years, static_cast<int>(perBar)};
        }
    }
}
}  // namespace

int TimelineBins::SlotOf(qint64 day) const
{
    const int offset = undated > 0 ? 1 : 0;
    if (day == kNoDay)
        return 0;
    if (unit == TimelineUnit::Day)
        return offset + static_cast<int>(day - starts.front());
    if (unit == TimelineUnit::Week)
        return offset + static_cast<int>((day - starts.front()) / 7);
    return offset + static_cast<int>(std::upper_bound(starts.begin(), starts.end(), day) - starts.begin()) - 1;
}

qint64 TimelineBins::FirstDay(int slot) const
{
    return starts[static_cast<size_t>(slot - (undated > 0 ? 1 : 0))];
}

qint64 TimelineBins::LastDay(int slot) const
{
    return starts[static_cast<size_t>(slot - (undated > 0 ? 1 : 0) + 1)] - 1;
}

qint64 TimelineDayReader::Day(qint64 utcSeconds)
{
    if (utcSeconds == kNoTime)
        return kNoDay;
    const std::optional<long> offset = m_offsets.At(utcSeconds);
    return offset ? FloorDiv(utcSeconds + *offset, kSecondsPerDay) + kDaysFrom1899To1970 : kNoDay;
}

void AppendTimelineDays(const RowList& rows, std::vector<qint64>& days)
{
    const int count = rows.Count();
    days.reserve(static_cast<size_t>(count));
    TimelineDayReader reader;
    for (int r = static_cast<int>(days.size()) + 1; r <= count; ++r)
        days.push_back(reader.Day(rows.Time(r)));
}

TimelineBins BinDays(const std::vector<qint64>& days, int firstDayOfWeek)
{
    TimelineBins bins;
    qint64 firstDay = std::numeric_limits<qint64>::max();
    qint64 lastDay = std::numeric_limits<qint64>::min();
    for (const qint64 day : days) {
        if (day == kNoDay) {
            ++bins.undated;
            continue;
        }
        firstDay = std::min(firstDay, day);
        lastDay = std::max(lastDay, day);
    }
    if (firstDay <= lastDay) {
        std::tie(bins.unit, bins.yearsPerBar) = ChooseUnit(firstDay, lastDay, firstDayOfWeek);
        bins.starts = BarStarts(bins.unit, bins.yearsPerBar, firstDay, lastDay, firstDayOfWeek);
    }
    const size_t datedBars = bins.starts.empty() ? 0 : bins.starts.size() - 1;
    bins.counts.assign(datedBars + (bins.undated > 0 ? 1 : 0), 0);
    for (const qint64 day : days)
        ++bins.counts[static_cast<size_t>(bins.SlotOf(day))];
    return bins;
}

QString UnitText(const TimelineBins& bins)
{
    switch (bins.unit) {
    case TimelineUnit::Day:
        return QStringLiteral("per day");
    case TimelineUnit::Week:
        return QStringLiteral("per week");
    case TimelineUnit::Month:
        return QStringLiteral("per month");
    case TimelineUnit::Years:
        break;
    }
    return bins.yearsPerBar == 1 ? QStringLiteral("per year") : QStringLiteral("per %1 years").arg(bins.yearsPerBar);
}

QString SlotAxisText(const TimelineBins& bins, int slot, const QLocale& locale)
{
    if (bins.IsUndatedSlot(slot))
        return QStringLiteral("No date");
    const QDate first = DateOf(bins.FirstDay(slot));
    switch (bins.unit) {
    case TimelineUnit::Day:
    case TimelineUnit::Week:
        return locale.toString(first, ShortDateFormat(locale));
    case TimelineUnit::Month:
        return locale.toString(first, QStringLiteral("MMM yyyy"));
    case TimelineUnit::Years:
        break;
    }
    return locale.toString(first, QStringLiteral("yyyy"));
}

QString SlotPeriodText(const TimelineBins& bins, int slot, const QLocale& locale)
{
    if (bins.IsUndatedSlot(slot))
        return QStringLiteral("No date");
    const QDate first = DateOf(bins.FirstDay(slot));
    const QDate last = DateOf(bins.LastDay(slot));
    const QString dash = QStringLiteral(" \u2013 ");
    switch (bins.unit) {
    case TimelineUnit::Day:
        return locale.toString(first, QLocale::LongFormat);
    case TimelineUnit::Week:
        return locale.toString(first, ShortDateFormat(locale)) + dash + locale.toString(last, ShortDateFormat(locale));
    case TimelineUnit::Month:
        return locale.toString(first, QStringLiteral("MMMM yyyy"));
    case TimelineUnit::Years:
        break;
    }
    const QString firstYear = locale.toString(first, QStringLiteral("yyyy"));
    return bins.yearsPerBar == 1 ? firstYear : firstYear + dash + locale.toString(last, QStringLiteral("yyyy"));
}
