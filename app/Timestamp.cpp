#include "app/Timestamp.h"

#include "app/FileSystem.h"

#include <QDate>
#include <QLocale>
#include <QTime>

#include <ctime>

namespace {
bool LocalParts(qint64 utcSeconds, QDate& date, QTime& time)
{
    if (utcSeconds == kNoTime)
        return false;
    const time_t value = static_cast<time_t>(utcSeconds);
    struct tm local {};
    if (!localtime_r(&value, &local))
        return false;
    date = QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    time = QTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59));
    return true;
}

// The locale's long time format without its time-zone part.
QString TimeFormat()
{
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return format.trimmed();
}
}  // namespace

QString TimestampText(qint64 utcSeconds)
{
    QDate date;
    QTime time;
    if (!LocalParts(utcSeconds, date, time))
        return {};
    const QLocale locale;
    QString text = locale.toString(date, QLocale::ShortFormat);
    if (time != QTime(0, 0))
        text += QLatin1Char(' ') + locale.toString(time, TimeFormat());
    return text;
}

qint64 LocalDayNumber(qint64 utcSeconds)
{
    static const qint64 kDayZero = QDate(1899, 12, 30).toJulianDay();
    QDate date;
    QTime time;
    if (!LocalParts(utcSeconds, date, time))
        return 0;
    return date.toJulianDay() - kDayZero;
}
