#pragma once

#include "app/core/BackgroundFileWork.h"
#include "tests/actions/commands/ActionsFixture.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/TreeSnapshot.h"

#include <QDateEdit>
#include <QDir>
#include <QPushButton>
#include <QStandardPaths>

#include <memory>
#include <set>

// The window over a file system that fails chosen calls, and a fresh tree of
// real files in three folders for each run, beside an empty move target.
class FaultFixture : public ActionsFixture {
protected:
    void SetUp() override
    {
        MakeForm(&faulty);
        form->DTPicker1->setDate(QDate(2000, 1, 1));
    }
    // The window waits for a walk still running after a close, and the test
    // for copies left behind by a close, before the file systems they use go.
    void TearDown() override
    {
        form.reset();
        BackgroundFileWork::WaitForAll();
    }

    // A new tree of distinct contents; "same.txt" stands in every folder, so
    // a move meets name clashes.
    void MakeTree(int filesPerFolder = 4, qint64 fileSize = 16)
    {
        runDir = std::make_unique<TestDir>();
        files.clear();
        int number = 0;
        for (const char* folder : {"tree/a", "tree/a/b", "tree/c"}) {
            for (int i = 0; i < filesPerFolder; ++i, ++number) {
                const QString name = i == 0 ? QStringLiteral("same.txt") : QStringLiteral("f%1.txt").arg(number);
                QByteArray data = "content " + QByteArray::number(number) + " ";
                data = data.leftJustified(fileSize, char('a' + number % 26));
                files << runDir->CreateFile(QLatin1String(folder) + QLatin1Char('/') + name, data);
            }
        }
        runDir->CreateFolder(QStringLiteral("target"));
    }
    QString TreeRoot() const { return runDir->Path(QStringLiteral("tree")); }
    QString Target() const { return runDir->Path(QStringLiteral("target")); }

    static QString TrashFiles()
    {
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash/files");
    }
    static void EmptyTrash() { QDir(QFileInfo(TrashFiles()).path()).removeRecursively(); }

    // The content of every file the user can find again: the tree, the move
    // target and the trash.
    std::multiset<QByteArray> AllContent() const
    {
        std::multiset<QByteArray> all;
        for (const QString& root : {TreeRoot(), Target(), TrashFiles()})
            all.merge(ContentChecksums(SnapshotTree(root)));
        return all;
    }
    QStringList Leftovers() const { return TemporaryFiles(runDir->Path()); }

    std::set<QString> ResultSet()
    {
        const QStringList texts = RowTexts();
        return {texts.cbegin(), texts.cend()};
    }
    void SearchTree()
    {
        form->FolderRows().Clear();
        form->FolderRows().Add(TreeRoot() + QLatin1Char('/'));
        form->PushButton1->click();
    }

    PosixFileSystem posix;
    FaultyFileSystem faulty{posix};
    std::unique_ptr<TestDir> runDir;
    QStringList files;
};
