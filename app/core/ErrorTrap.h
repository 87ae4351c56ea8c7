#pragma once

#include "app/core/Failure.h"

#include <QString>

#include <exception>
#include <optional>

class Dialogs;
class QWidget;

// Runs the numbered steps of one routine. A failure in step N shows the
// "Application Error" box with N and the routine's location tag, and the
// routine goes on with its next step.
class ErrorTrap {
public:
    ErrorTrap(Dialogs& dialogs, QWidget* owner, QString locationTag);

    // Runs one step; true when it completed without a failure.
    template <class Step>
    bool Run(int number, Step&& step)
    {
        try {
            step();
            return true;
        } catch (const Failure& failure) {
            Report(number, failure.Description());
        } catch (const std::exception& error) {
            Report(number, QString::fromLocal8Bit(error.what()));
        }
        return false;
    }

    // Evaluates the test of a conditional step. A test that fails is reported
    // and counts as held, so the routine goes on inside the branch; a test that
    // guards an action on a file passes onFailure = false, so a failed test
    // never leads to touching a file nobody chose.
    template <class Condition>
    bool Test(int number, Condition&& test, bool onFailure = true)
    {
        bool result = onFailure;
        Run(number, [&] { result = test(); });
        return result;
    }

    // Runs a step that yields a value; the fallback stands when it fails.
    template <class T, class Step>
    T Value(int number, Step&& step, T fallback)
    {
        Run(number, [&] { fallback = step(); });
        return fallback;
    }

    // The text of the row being processed, shown after "File: " (move command).
    void SetFileText(const QString& text) { m_fileText = text; }
    void ClearFileText() { m_fileText.reset(); }

    void Report(int number, const QString& description);
    int FailureCount() const { return m_failures; }

private:
    Dialogs& m_dialogs;
    QWidget* m_owner;
    QString m_locationTag;
    std::optional<QString> m_fileText;
    int m_failures = 0;
};
