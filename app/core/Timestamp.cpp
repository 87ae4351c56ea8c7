#include "app/core/Timestamp.h"

#include "app/core/FileSystem.h"
#include "app/core/LocalOffsets.h"

#include <QLocale>
#include <QTime>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <optional>
#include <vector>

namespace {
constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kDaysFrom1899To1970 = 25569;
constexpr qint64 kJulianDayOf1970 = 2440588;

// Counts the readings of the system's time zone.
std::atomic<quint64> zoneReadings{0};

// The offsets of local time found on this thread since the zone was last read.
LocalOffsets& ThreadOffsets()
{
    thread_local quint64 reading = 0;
    thread_local std::optional<LocalOffsets> offsets;
    const quint64 current = zoneReadings.load(std::memory_order_relaxed);
    if (!offsets || reading != current) {
        offsets.emplace();
        reading = current;
    }
    return *offsets;
}

// The local wall-clock time of a file time in seconds since 1970; nothing
// for kNoTime and for a time with no local date.
std::optional<qint64> LocalSeconds(qint64 utcSeconds)
{
    return utcSeconds == kNoTime ? std::nullopt : ThreadOffsets().LocalSeconds(utcSeconds);
}

qint64 FloorDiv(qint64 value, qint64 divisor)
{
    const qint64 quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

// Separators that go with the time-zone field: blanks, brackets, commas and
// the like. A full stop stays, as it may end an abbreviation ("14:05:09 ч.").
bool IsZoneSeparator(QChar c)
{
    return c.isSpace() || (c.isPunct() && c != QLatin1Char('.'));
}

// The locale's long time format as the timestamp texts show it: the
// time-zone field ("t") goes with the brackets and separators around it
// ("H:mm:ss (t)", "HH:mm:ss, t", "t HH:mm:ss"), and a day period ("B" or "b",
// letters QLocale would print as they are) becomes the AM/PM text as the
// locale writes it ("Ap"), which turns "h" into the 12-hour clock meant.
QString TimeFormatOf(const QLocale& locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    // Where the run of separators at the end of result begins, or -1.
    qsizetype separatorsFrom = -1;
    // Separators after a removed zone field are dropped; a field that
    // follows them is kept apart from the one before by a blank.
    bool afterZone = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
        } else if (!quoted && c == QLatin1Char('t')) {
            if (separatorsFrom >= 0)
                result.truncate(separatorsFrom);
            separatorsFrom = -1;
            afterZone = true;
            continue;
        } else if (!quoted && IsZoneSeparator(c)) {
            if (afterZone)
                continue;
            if (separatorsFrom < 0)
                separatorsFrom = result.size();
            result += c;
            continue;
        }
        if (afterZone && !result.isEmpty())
            result += QLatin1Char(' ');
        afterZone = false;
        separatorsFrom = -1;
        if (!quoted && (c == QLatin1Char('B') || c == QLatin1Char('b'))) {
            while (i + 1 < format.size() && format[i + 1] == c)
                ++i;
            result += QStringLiteral("Ap");
        } else {
            result += c;
        }
    }
    return result.trimmed();
}

// The texts of dates and times of day already formatted on this thread in
// the default locale, with its formats: the locale takes about a microsecond
// for each, and the rows of a list share days and times of day. All is made
// again when the default locale changes.
class FormattedTexts {
public:
    void Use(const QLocale& locale)
    {
        if (m_ready && locale == m_locale)
            return;
        m_ready = true;
        m_locale = locale;
        m_dateFormat = ShortDateFormat(locale);
        m_timeFormat = TimeFormatOf(locale);
        m_dates.assign(kDates, {});
        m_times.assign(kSecondsPerDay, {});
    }

    const QString& Date(qint64 julianDay)
    {
        DateText& entry = m_dates[static_cast<size_t>(julianDay) % kDates];
        if (entry.julianDay != julianDay || entry.text.isNull())
            entry = {julianDay, m_locale.toString(QDate::fromJulianDay(julianDay), m_dateFormat)};
        return entry.text;
    }

    const QString& Time(int secondOfDay)
    {
        QString& text = m_times[static_cast<size_t>(secondOfDay)];
        if (text.isNull())
            text = m_locale.toString(QTime(secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60), m_timeFormat);
        return text;
    }

private:
    static constexpr size_t kDates = 4096;
    struct DateText {
        qint64 julianDay = 0;
        QString text;
    };
    bool m_ready = false;
    QLocale m_locale;
    QString m_dateFormat;
    QString m_timeFormat;
    std::vector<DateText> m_dates;
    std::vector<QString> m_times;
};
}  // namespace

QString ShortDateFormat(const QLocale& locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'') || quoted || c != QLatin1Char('y')) {
            quoted = quoted != (c == QLatin1Char('\''));
            result += c;
            ++i;
            continue;
        }
        qsizetype run = 0;
        while (i + run < format.size() && format[i + run] == QLatin1Char('y'))
            ++run;
        // A two-digit year ("yy") becomes four digits; other runs stay.
        result += QString(run == 2 ? 4 : run, QLatin1Char('y'));
        i += run;
    }
    return result;
}

QString LocalDateTimeText(const QDate& date, const QTime& time)
{
    const QLocale locale;
    const QString dateText = locale.toString(date, ShortDateFormat(locale));
    return time == QTime(0, 0) ? dateText : dateText + QLatin1Char(' ') + locale.toString(time, TimeFormatOf(locale));
}

QString TimestampText(qint64 utcSeconds)
{
    const std::optional<qint64> local = LocalSeconds(utcSeconds);
    if (!local)
        return {};
    const qint64 day = FloorDiv(*local, kSecondsPerDay);
    const int secondOfDay = static_cast<int>(*local - day * kSecondsPerDay);
    thread_local FormattedTexts texts;
    texts.Use(QLocale());
    const QString& date = texts.Date(day + kJulianDayOf1970);
    if (secondOfDay == 0)
        return date;
    const QString& time = texts.Time(secondOfDay);
    QString text(date.size() + 1 + time.size(), Qt::Uninitialized);
    QChar* out = std::copy(date.cbegin(), date.cend(), text.data());
    *out++ = QLatin1Char(' ');
    std::copy(time.cbegin(), time.cend(), out);
    return text;
}

qint64 LocalDayNumber(qint64 utcSeconds)
{
    const std::optional<qint64> local = LocalSeconds(utcSeconds);
    return local ? FloorDiv(*local, kSecondsPerDay) + kDaysFrom1899To1970 : 0;
}

qint64 DayNumber(const QDate& date)
{
    static const qint64 kDayZero = QDate(1899, 12, 30).toJulianDay();
    return date.toJulianDay() - kDayZero;
}

void RefreshLocalTimeZone()
{
    tzset();
    zoneReadings.fetch_add(1, std::memory_order_relaxed);
}
