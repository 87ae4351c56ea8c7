#include "app/Timestamp.h"

#include "app/FileSystem.h"

#include <QLocale>
#include <QTime>

#include <algorithm>
#include <ctime>
#include <limits>
#include <mutex>

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

// The formats of the default locale, worked out again only when it changes.
struct Formats {
    QLocale locale;
    QString dateFormat;
    QString timeFormat;
};

Formats CurrentFormats()
{
    static std::mutex mutex;
    static Formats cached{QLocale::c(), {}, {}};
    static bool valid = false;
    const QLocale locale;
    const std::lock_guard lock(mutex);
    if (!valid || cached.locale != locale) {
        cached = {locale, ShortDateFormat(locale), TimeFormatOf(locale)};
        valid = true;
    }
    return cached;
}
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
    const QTime time(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59));
    const Formats formats = CurrentFormats();
    QString text = formats.locale.toString(date, formats.dateFormat);
    if (time != QTime(0, 0))
        text += QLatin1Char(' ') + formats.locale.toString(time, formats.timeFormat);
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
