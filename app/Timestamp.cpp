#include "app/Timestamp.h"

#include "app/FileSystem.h"

#include <QLocale>
#include <QTime>

#include <algorithm>
#include <ctime>
#include <limits>
#include <mutex>
#include <vector>

namespace {
constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kDaysFrom1899To1970 = 25569;

// localtime_r reads the zone once and keeps it (unlike localtime, which
// checks /etc/localtime on every call when TZ is unset). A year that does
// not fit an int counts as no local time.
bool LocalParts(qint64 utcSeconds, struct tm& local)
{
    if (utcSeconds == kNoTime)
        return false;
    const time_t value = static_cast<time_t>(utcSeconds);
    return localtime_r(&value, &local) != nullptr && local.tm_year <= std::numeric_limits<int>::max() - 1900;
}

qint64 FloorDiv(qint64 value, qint64 divisor)
{
    const qint64 quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

// The locale's long time format without its time-zone part ("t" outside quotes).
QString TimeFormatOf(const QLocale& locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c != QLatin1Char('t'))
            result += c;
    }
    return result.trimmed();
}

// The formats of the default locale, worked out again only when it changes;
// each change starts a new generation.
struct Formats {
    QLocale locale;
    QString dateFormat;
    QString timeFormat;
    quint64 generation = 0;
};

Formats CurrentFormats()
{
    static std::mutex mutex;
    static Formats cached{QLocale::c(), {}, {}, 0};
    const QLocale locale;
    const std::lock_guard lock(mutex);
    if (cached.generation == 0 || cached.locale != locale)
        cached = {locale, ShortDateFormat(locale), TimeFormatOf(locale), cached.generation + 1};
    return cached;
}

// The texts of dates and times of day already formatted on this thread for
// the current formats: the locale takes about a microsecond for each, and the
// rows of a list share days and times of day.
class FormattedTexts {
public:
    void Use(const Formats& formats)
    {
        if (formats.generation == m_generation)
            return;
        m_generation = formats.generation;
        m_dates.assign(kDates, {});
        m_times.assign(kSecondsPerDay, {});
    }

    const QString& Date(const QDate& date, const Formats& formats)
    {
        const qint64 key = date.toJulianDay();
        DateText& entry = m_dates[static_cast<size_t>(key) % kDates];
        if (entry.julianDay != key || entry.text.isNull())
            entry = {key, formats.locale.toString(date, formats.dateFormat)};
        return entry.text;
    }

    const QString& Time(int secondOfDay, const Formats& formats)
    {
        QString& text = m_times[static_cast<size_t>(secondOfDay)];
        if (text.isNull())
            text = formats.locale.toString(QTime(secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60),
                                           formats.timeFormat);
        return text;
    }

private:
    static constexpr size_t kDates = 4096;
    struct DateText {
        qint64 julianDay = 0;
        QString text;
    };
    quint64 m_generation = 0;
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

QString TimestampText(qint64 utcSeconds)
{
    struct tm local {};
    if (!LocalParts(utcSeconds, local))
        return {};
    const QDate date(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const int secondOfDay = local.tm_hour * 3600 + local.tm_min * 60 + std::min(local.tm_sec, 59);
    const Formats formats = CurrentFormats();
    thread_local FormattedTexts texts;
    texts.Use(formats);
    QString text = texts.Date(date, formats);
    if (secondOfDay != 0)
        text += QLatin1Char(' ') + texts.Time(secondOfDay, formats);
    return text;
}

qint64 LocalDayNumber(qint64 utcSeconds)
{
    struct tm local {};
    if (!LocalParts(utcSeconds, local))
        return 0;
    return FloorDiv(utcSeconds + local.tm_gmtoff, kSecondsPerDay) + kDaysFrom1899To1970;
}

qint64 DayNumber(const QDate& date)
{
    static const qint64 kDayZero = QDate(1899, 12, 30).toJulianDay();
    return date.toJulianDay() - kDayZero;
}

void RefreshLocalTimeZone()
{
    tzset();
}
