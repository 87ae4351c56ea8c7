#pragma once

#include "app/platform/PosixFileSystem.h"
#include "app/window/Form1.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/FakeShell.h"
#include "tests/support/TestEventPump.h"

#include <gtest/gtest.h>

#include <memory>

class QAction;

// The real main window over doubles of the dialogs, the shell and the event
// pump, and the real file system (or one a test passes in).
class FormFixture : public testing::Test {
protected:
    // Creates and loads the window; programFolder defaults to an empty folder.
    void MakeForm(FileSystem* fileSystem = nullptr, const QString& programFolder = QStringLiteral("/nonexistent"));
    // The result list's context-menu entry whose text begins with name, as
    // the opened menu shows it.
    QAction* MenuEntry(const QString& name);

    PosixFileSystem posixFileSystem;
    FakeDialogs dialogs;
    FakeShell shell;
    TestEventPump pump;
    std::unique_ptr<Form1> form;
};
