#pragma once

#include <QtGlobal>

// The range modes of "Select Range": Option7, Option6, Option5, Option4.
enum class RangeMode { After, Before, On, Between };

// The sign (-1, 0 or 1) of the day offset of a file time (UTC seconds, or
// kNoTime) from a picker's day (days since 1899-12-30), by the file's local
// calendar day; kNoTime and a time with no local date count as day 0. Only times within two days
// of the picker's day are converted to local time; the rest are decided by
// their UTC day, which no time-zone offset can move that far.
int DayOffsetSign(qint64 utcSeconds, qint64 pickerDay);

// Whether a file with day offset sign d (and e from the second picker) is listed.
bool MatchesRange(RangeMode mode, int d, int e);
