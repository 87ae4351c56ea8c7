#pragma once

#include "app/core/Dialogs.h"
#include "app/core/Shell.h"
#include "app/platform/PosixFileSystem.h"
#include "app/platform/QtEventPump.h"
#include "app/window/Form1.h"

#include <QString>
#include <QUrl>

#include <cstdio>

// The benchmarks' dialogs: every box goes to standard error, questions are
// answered No and pickers cancelled, so nothing waits for a person.
class ConsoleDialogs : public Dialogs {
public:
    void ShowMessage(QWidget*, const QString&, const QString& text) override { Print(text); }
    bool AskYesNo(QWidget*, const QString&, const QString& text) override
    {
        Print(text);
        return false;
    }
    void ShowWarning(QWidget*, const QString&, const QString& text) override { Print(text); }
    QString PickFolder(QWidget*, const QString&, const QString&) override { return {}; }
    QString PickSaveFile(QWidget*, const QString&, const QStringList&) override { return {}; }
    QString PickNewSaveFile(QWidget*, const QString&, const QStringList&, const QString&) override { return {}; }

private:
    static void Print(const QString& text) { std::fprintf(stderr, "box: %s\n", qPrintable(text)); }
};

// Opens nothing.
class NoShell : public Shell {
public:
    void OpenUrl(const QUrl&) override {}
    void ShowInFolder(const QString&, WhenNothingOpened) override {}
};

// The real window over the real file system, shown offscreen, for the
// benchmarks of the result list's commands.
struct BenchWindow {
    PosixFileSystem fileSystem;
    ConsoleDialogs dialogs;
    NoShell shell;
    QtEventPump pump;
    Form1 form{Seams{fileSystem, dialogs, shell, pump}, QStringLiteral("/nonexistent")};
};
