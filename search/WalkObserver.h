#pragma once

#include <QString>

// What the walk on the worker thread needs from the run that started it.
class WalkObserver {
public:
    virtual ~WalkObserver() = default;

    // True once the run no longer wants the walk's results; the walk then
    // ends at its next check.
    virtual bool Abandoned() const = 0;
    // Shows a failure of a step in the error box of the routine that the
    // location tag names; returns when the box was dismissed.
    virtual void ReportFailure(const char* locationTag, int step, const QString& description) = 0;
};
