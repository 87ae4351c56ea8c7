#pragma once

#include "search/DateMatching.h"
#include "search/DateType.h"

#include <QString>
#include <QtGlobal>

#include <optional>

// The window's controls as the search reads and sets them. Each is read when
// the search asks, so a change made while the search lets events through
// counts from then on.
class SearchControls {
public:
    virtual ~SearchControls() = default;

    // The caption of "Start Searching", which reads "Stop" while a search runs.
    virtual QString StartCaption() const = 0;
    virtual void SetStartCaption(const QString& caption) = 0;

    // The option of "Find by which date?" that is on, if any.
    virtual std::optional<DateType> CheckedDateType() const = 0;
    // The option of "Select Range" that is on, if any.
    virtual std::optional<RangeMode> CheckedRange() const = 0;
    // The day number (days since 1899-12-30) of the range's first picker, or of
    // its second (second true; Between only).
    virtual qint64 PickerDay(RangeMode mode, bool second) const = 0;
};
