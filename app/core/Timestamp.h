#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>
#include <QtGlobal>

// A file time (seconds since 1970 UTC) as local text: the locale's short date,
// a blank and the time to the second; the time is left out at exactly
// 00:00:00. Local time is taken with the offset in force at that date.
// Empty for kNoTime and for a time with no local date.
QString TimestampText(qint64 utcSeconds);

// The text of a local date and time of day in the default locale, as
// TimestampText shows a file's time; for dates that are no file's time.
QString LocalDateTimeText(const QDate& date, const QTime& time);

// The locale's short date format with the year always in four digits: its
// order and separators stay, "yy" becomes "yyyy", so no century is lost.
QString ShortDateFormat(const QLocale& locale);

// The local calendar day of a file time, as days since 1899-12-30; 0 for
// kNoTime and for a time with no local date (its text is empty too).
qint64 LocalDayNumber(qint64 utcSeconds);

// A calendar date as days since 1899-12-30.
qint64 DayNumber(const QDate& date);

// Reads the system's time zone again. The conversions above read it once and
// then ask the system about a day's offsets once; a search calls this when it
// starts, and whoever changes TZ calls it too.
void RefreshLocalTimeZone();
