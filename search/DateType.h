#pragma once

#include "app/core/FileSystem.h"

// Which of a file's times the search records: Option1, Option2, Option3.
enum class DateType { Modified = 1, Created = 2, Accessed = 3 };

inline qint64 ChosenTime(const FileTimes& times, DateType type)
{
    switch (type) {
    case DateType::Created:
        return times.created;
    case DateType::Accessed:
        return times.accessed;
    case DateType::Modified:
        break;
    }
    return times.modified;
}
