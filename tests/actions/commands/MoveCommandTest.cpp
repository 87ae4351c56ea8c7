#include "actions/SafeCopyFile.h"
#include "app/core/BackgroundFileWork.h"
#include "app/core/MousePointer.h"
#include "app/core/Settings.h"
#include "app/platform/AbandonedCopies.h"
#include "tests/actions/commands/ActionsFixture.h"
#include "tests/actions/commands/RefusingFileSystem.h"
#include "tests/support/TestMount.h"

#include <QDir>
#include <QFileInfo>

#include <QElapsedTimer>
#include <QTimer>

#include <atomic>
#include <future>

#include <sys/stat.h>
#include <unistd.h>

namespace {
class MoveCommandTest : public ActionsFixture {
protected:
    void SetUp() override
    {
        WriteSetting(QStringLiteral("LastFolder"), QStringLiteral("/kept"));
        MakeForm(&fileSystem);
        target = dir.CreateFolder(QStringLiteral("target"));
    }

    // Picks the folder and runs the move.
    void Move(const QString& folder)
    {
        dialogs.folders.push_back(folder);
        form->PushButton11_Click();
    }

    void TearDown() override { BackgroundFileWork::WaitForAll(); }

    QStringList NotMovedMessages() { return dialogs.Messages(); }
    // Files src/000.txt and on, each holding its number.
    QStringList NumberedSources(int count)
    {
        QStringList sources;
        for (int i = 0; i < count; ++i)
            sources << dir.CreateFile(QStringLiteral("src/%1.txt").arg(i, 3, 10, QLatin1Char('0')), QByteArray::number(i));
        return sources;
    }

    // Runs body(name, stick) on a FAT and on an exFAT mount at the folder of
    // that name ("fat", "exfat"); skips the test when neither can be made.
    void OnFatMounts(const std::function<void(const QString& name, const QString& stick)>& body)
    {
        int mounted = 0;
        for (const TestMount::Fat kind : {TestMount::Fat::Fat, TestMount::Fat::ExFat}) {
            const QString name = kind == TestMount::Fat::Fat ? QStringLiteral("fat") : QStringLiteral("exfat");
            SCOPED_TRACE(name.toStdString());
            const QString stick = dir.CreateFolder(name);
            const TestMount mount = TestMount::FatImage(dir.Path(name + QStringLiteral(".img")), stick, kind);
            if (!mount.Mounted())
                continue;
            ++mounted;
            dialogs.shown.clear();
            body(name, stick);
        }
        if (mounted == 0)
            GTEST_SKIP() << "no FAT image can be mounted here";
    }
    QStringList TargetFiles() { return QDir(target).entryList(QDir::Files | QDir::Hidden); }

    RefusingFileSystem fileSystem;
    QString target;
};

TEST_F(MoveCommandTest, MovesCheckedFilesKeepingContentModeAndTimes)
{
    const QString a = dir.CreateFile(QStringLiteral("src/a.txt"), "alpha");
    const QString b = dir.CreateFile(QStringLiteral("src/b.txt"), "beta");
    const QString c = dir.CreateFile(QStringLiteral("src/c.txt"), "gamma");
    ::chmod(QFile::encodeName(a).constData(), 0640);
    TestDir::SetTimes(a, 1'500'000'000, 1'600'000'000);
    FillRows({a, b, c});
    CheckRows({1, 3});
    Move(target);

    EXPECT_EQ(RowTexts(), QStringList{b});
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_FALSE(QFile::exists(c));
    EXPECT_TRUE(QFile::exists(b));
    const QString moved = target + QStringLiteral("/a.txt");
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(moved).constData(), &status), 0);
    EXPECT_EQ(Contents(moved), QByteArray("alpha"));
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(status.st_mtim.tv_sec, 1'500'000'000);
    EXPECT_EQ(status.st_atim.tv_sec, 1'600'000'000);
    EXPECT_EQ(QDir(target).entryList(QDir::Files | QDir::Hidden).size(), 2);  // no temporary left
    EXPECT_EQ(ReadSetting(QStringLiteral("LastFolder"), {}), target);
    EXPECT_TRUE(dialogs.shown.size() == 1);  // the picker alone: nothing to report
    EXPECT_EQ(form->MousePointer(), MousePointer::Default);
}

TEST_F(MoveCommandTest, UndoLastMovePutsFilesBackButNeverReplacesNorDeletesAChangedCopy)
{
    EXPECT_FALSE(MenuEntry(QStringLiteral("Undo Last Move"))->isEnabled());
    const QStringList paths{dir.CreateFile(QStringLiteral("src/a.txt"), "alpha"),
                            dir.CreateFile(QStringLiteral("src/b.txt"), "beta"),
                            dir.CreateFile(QStringLiteral("other/a.txt"), "other alpha"),
                            dir.CreateFile(QStringLiteral("src/d.txt"), "delta")};
    const QString kept = dir.CreateFile(QStringLiteral("src/e.txt"), "e");
    FillRows(paths + QStringList{kept});
    CheckRows({1, 2, 3, 4});
    Move(target);
    const QString movedB = target + QStringLiteral("/b.txt");
    const QString movedD = target + QStringLiteral("/d.txt");
    dir.CreateFile(QStringLiteral("src/b.txt"), "new beta");
    dir.CreateFile(QStringLiteral("target/d.txt"), "delta, edited");
    // A move that moves nothing keeps the record of the last one.
    CheckRows({1});
    Move(dir.Path(QStringLiteral("src")));
    dialogs.shown.clear();

    QAction* undo = MenuEntry(QStringLiteral("Undo Last Move"));
    EXPECT_EQ(undo->text(), QStringLiteral("Undo Last Move (4 files)"));
    ASSERT_TRUE(undo->isEnabled());
    undo->trigger();
    EXPECT_EQ(NotMovedMessages(),
              QStringList{QStringLiteral("2 files came back from the target folder:\r\r%1\r%2\r\r2 files did not come "
                                         "back:\r\r%3: a file now stands at its original path and was not replaced; it "
                                         "stays at %4\r%5: it changed since the move; it stays at %6")
                              .arg(paths[0], paths[2], paths[1], movedB, paths[3], movedD)});
    EXPECT_EQ(Contents(paths[0]), "alpha");
    EXPECT_EQ(Contents(paths[2]), "other alpha");
    EXPECT_EQ(Contents(paths[1]), "new beta");
    EXPECT_FALSE(QFile::exists(paths[3]));
    EXPECT_EQ(QDir(target).entryList(QDir::Files | QDir::Hidden), (QStringList{"b.txt", "d.txt"}));
    EXPECT_EQ(RowTexts(), QStringList{kept});
    EXPECT_EQ(form->MousePointer(), MousePointer::Default);

}

TEST_F(MoveCommandTest, InsideOneFileSystemAFileIsRenamedNeedingNoRoomAndUndoRenamesItBack)
{
    const TestMount small = TestMount::Tmpfs(dir.CreateFolder(QStringLiteral("small")));
    if (!small.Mounted())
        GTEST_SKIP() << "no tmpfs can be mounted here";
    // 700 KiB on a file system of 1 MiB: no copy fits beside it.
    const QString a = dir.CreateFile(QStringLiteral("small/src/a.bin"), QByteArray(700 << 10, 'a'));
    const QString taken = dir.CreateFile(QStringLiteral("small/to/a.bin"), "taken");
    TestDir::SetTimes(a, 1'500'000'001, 1'600'000'000);
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(a).constData(), &before), 0);
    FillRows({a});
    CheckRows({1});
    Move(dir.Path(QStringLiteral("small/to")));
    const QString moved = dir.Path(QStringLiteral("small/to/a (2).bin"));
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(moved).constData(), &after), 0) << NotMovedMessages().value(0).toStdString();
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_sec, 1'500'000'001);
    EXPECT_EQ(Contents(taken), QByteArray("taken"));
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_EQ(Rows().Count(), 0);
    EXPECT_TRUE(NotMovedMessages().isEmpty());

    MenuEntry(QStringLiteral("Undo Last Move"))->trigger();
    ASSERT_EQ(::stat(QFile::encodeName(a).constData(), &after), 0) << NotMovedMessages().value(0).toStdString();
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_FALSE(QFile::exists(moved));
}

TEST_F(MoveCommandTest, CancelledPickerKeepsLastFolderAndMovesNothing)
{
    const QString a = dir.CreateFile(QStringLiteral("src/a.txt"), "alpha");
    FillRows({a});
    CheckRows({1});
    Move(QString());
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("/kept"));
    EXPECT_EQ(ReadSetting(QStringLiteral("LastFolder"), {}), QStringLiteral("/kept"));
    EXPECT_TRUE(QFile::exists(a));
    EXPECT_EQ(Rows().Count(), 1);
}

TEST_F(MoveCommandTest, NameClashesTakeNumberedNamesAndReplaceNothing)
{
    const QString existing = dir.CreateFile(QStringLiteral("target/a.txt"), "already there");
    const QString x = dir.CreateFile(QStringLiteral("x/a.txt"), "from x");
    const QString y = dir.CreateFile(QStringLiteral("y/a.txt"), "from y");
    FillRows({x, y});
    CheckRows({1, 2});
    Move(target);
    EXPECT_EQ(Contents(existing), QByteArray("already there"));
    EXPECT_EQ(Contents(target + QStringLiteral("/a (2).txt")), QByteArray("from x"));
    EXPECT_EQ(Contents(target + QStringLiteral("/a (3).txt")), QByteArray("from y"));
    EXPECT_EQ(Rows().Count(), 0);
    EXPECT_EQ(NumberedName(QStringLiteral(".profile"), 2), QStringLiteral(".profile (2)"));
    EXPECT_EQ(NumberedName(QStringLiteral("notes"), 3), QStringLiteral("notes (3)"));
}

TEST_F(MoveCommandTest, FilesNotMovedStayInPlaceCheckedAndAreNamedOnce)
{
    fileSystem.renames = false;  // the copy's path, as across file systems
    const QString own = dir.CreateFile(QStringLiteral("target/own.txt"), "own");
    const QString gone = dir.Path(QStringLiteral("src/gone.txt"));
    const QString full = dir.CreateFile(QStringLiteral("src/full.txt"), "disk full");
    const QString locked = dir.CreateFile(QStringLiteral("src/locked.txt"), "locked");
    const QString fine = dir.CreateFile(QStringLiteral("src/fine.txt"), "fine");
    const QString unsynced = dir.CreateFile(QStringLiteral("src/unsynced.txt"), "not durable");
    fileSystem.refuseCopyFrom.insert(full);
    fileSystem.refuseDelete.insert(locked);
    fileSystem.refuseSync.insert(unsynced);
    FillRows({own, gone, full, locked, fine, unsynced});
    CheckRows({1, 2, 3, 4, 5, 6});
    Move(target);

    EXPECT_EQ(RowTexts(), (QStringList{own, gone, full, locked, unsynced}));
    for (int r : {1, 2, 3, 5})
        EXPECT_TRUE(Rows().Checked(r));
    EXPECT_EQ(Contents(unsynced), QByteArray("not durable"));
    EXPECT_EQ(TargetFiles(), (QStringList{QStringLiteral("fine.txt"), QStringLiteral("locked.txt"),
                                          QStringLiteral("own.txt")}));
    EXPECT_FALSE(Rows().Checked(4)) << "a file now in both places is not copied again by the next Move";
    EXPECT_EQ(Contents(own), QByteArray("own"));
    EXPECT_EQ(Contents(full), QByteArray("disk full"));
    EXPECT_FALSE(QFile::exists(target + QStringLiteral("/full.txt")));
    EXPECT_EQ(Contents(locked), QByteArray("locked"));  // the copy stands, the original too
    EXPECT_EQ(Contents(target + QStringLiteral("/locked.txt")), QByteArray("locked"));
    EXPECT_FALSE(QFile::exists(fine));
    ASSERT_EQ(NotMovedMessages().size(), 1);
    const QString message = NotMovedMessages()[0];
    EXPECT_TRUE(message.startsWith(QStringLiteral("5 of the checked files were not moved:")));
    EXPECT_TRUE(message.contains(gone + QStringLiteral(": the file is no longer there")));
    EXPECT_TRUE(message.contains(own + QStringLiteral(": it is already in that folder")));
    EXPECT_TRUE(message.contains(full + QStringLiteral(": No space left on device; it stays in its folder")));
    EXPECT_TRUE(message.contains(unsynced + QStringLiteral(": Input/output error; it stays in its folder")));
    EXPECT_TRUE(message.contains(locked + QStringLiteral(": copied to ") + target
                                 + QStringLiteral("/locked.txt, but it could not be deleted from its folder "
                                                  "(Permission denied), so it is now in both places; its row is unchecked")))
        << message.toStdString();
    EXPECT_TRUE(dialogs.Warnings().isEmpty());
}

TEST_F(MoveCommandTest, TargetFolderRemovedDuringTheMoveLeavesTheSources)
{
    const QString a = dir.CreateFile(QStringLiteral("src/a.txt"), "alpha");
    FillRows({a});
    CheckRows({1});
    pump.hook = [&](int) { QDir(target).removeRecursively(); };
    Move(target);
    EXPECT_EQ(Contents(a), QByteArray("alpha"));
    EXPECT_EQ(Rows().Count(), 1);
    ASSERT_EQ(NotMovedMessages().size(), 1);
    EXPECT_TRUE(NotMovedMessages()[0].contains(QStringLiteral("the target folder is no longer there")));
}

TEST_F(MoveCommandTest, TargetFolderRemovedWhileSourcesAreDeletedKeepsTheSourcesWhoseCopiesWent)
{
    fileSystem.renames = false;  // the copy's path, as across file systems
    QStringList sources;
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        sources << dir.CreateFile(QStringLiteral("src/") + QLatin1String(name), name);
    FillRows(sources);
    CheckRows({1, 2, 3});
    // Once the first source went, the copies of all three are removed; a
    // folder made again at the same path holds another file under b.txt.
    fileSystem.afterDelete = [&](const QString&) {
        fileSystem.afterDelete = nullptr;
        QDir(target).removeRecursively();
        dir.CreateFile(QStringLiteral("target/b.txt"), "another b");
    };
    Move(target);
    EXPECT_FALSE(QFile::exists(sources[0]));
    EXPECT_EQ(Contents(sources[1]), QByteArray("b.txt"));
    EXPECT_EQ(Contents(sources[2]), QByteArray("c.txt"));
    EXPECT_EQ(RowTexts(), (QStringList{sources[1], sources[2]}));
    EXPECT_TRUE(Rows().Checked(1) && Rows().Checked(2));
    ASSERT_EQ(NotMovedMessages().size(), 1);
    for (const char* name : {"b.txt", "c.txt"})
        EXPECT_TRUE(NotMovedMessages()[0].contains(dir.Path(QStringLiteral("src/") + QLatin1String(name))
            + QStringLiteral(": its copy at ") + target + QLatin1Char('/') + QLatin1String(name)
            + QStringLiteral(" was removed or replaced meanwhile, so it stays in its folder")))
            << NotMovedMessages()[0].toStdString();
}

TEST_F(MoveCommandTest, ReadOnlySourceIsMovedWithItsMode)
{
    const QString a = dir.CreateFile(QStringLiteral("src/a.txt"), "alpha");
    ::chmod(QFile::encodeName(a).constData(), 0444);
    FillRows({a});
    CheckRows({1});
    Move(target);
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_EQ(QFileInfo(target + QStringLiteral("/a.txt")).permissions() & QFile::WriteOwner, 0);
    EXPECT_EQ(Rows().Count(), 0);
}

TEST_F(MoveCommandTest, DoubledSeparatorInARowIsMovedFromItsCollapsedPath)
{
    const QString a = dir.CreateFile(QStringLiteral("src/a.txt"), "alpha");
    FillRows({dir.Path(QStringLiteral("src//a.txt"))});
    CheckRows({1});
    Move(target + QStringLiteral("/"));
    EXPECT_EQ(Contents(target + QStringLiteral("/a.txt")), QByteArray("alpha"));
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_EQ(ReadSetting(QStringLiteral("LastFolder"), {}), target);
}

TEST_F(MoveCommandTest, ClearDuringTheMoveLeavesEveryFileWholeInOnePlace)
{
    // More files than two groups take; the list is cleared once a group moved.
    const QStringList sources = NumberedSources(300);
    FillRows(sources);
    Rows().SetAllChecked(true);
    int clearedAt = 0;
    pump.hook = [&](int) {
        if (clearedAt == 0 && !TargetFiles().isEmpty()) {
            clearedAt = TargetFiles().size();
            form->PushButton6_Click();
        }
    };
    Move(target);
    EXPECT_EQ(Rows().Count(), 0);
    int moved = 0;
    for (int i = 0; i < sources.size(); ++i) {
        const QString copy = target + QLatin1Char('/') + QFileInfo(sources[i]).fileName();
        ASSERT_NE(QFile::exists(sources[i]), QFile::exists(copy)) << i;
        EXPECT_EQ(Contents(QFile::exists(copy) ? copy : sources[i]), QByteArray::number(i));
        moved += QFile::exists(copy) ? 1 : 0;
    }
    EXPECT_EQ(moved, clearedAt) << "a group was started after the list was cleared";
    EXPECT_GT(moved, 0);
    EXPECT_LT(moved, sources.size());
    EXPECT_TRUE(dialogs.Warnings().isEmpty());
}

TEST_F(MoveCommandTest, AHeadingClickBetweenTheGroupsPassesOverNoCheckedRow)
{
    // More checked rows than a group takes, all in the second half; once a
    // group moved, two clicks order the rows by name descending, so the
    // checked rows not yet reached come first.
    const QStringList sources = NumberedSources(400);
    FillRows(sources);
    for (int r = 201; r <= 400; ++r)
        Rows().SetChecked(r, true);
    form->show();
    bool clicked = false;
    pump.hook = [&](int) {
        if (!clicked && !TargetFiles().isEmpty()) {
            clicked = true;
            ClickHeading(0);
            ClickHeading(0);
        }
    };
    Move(target);
    EXPECT_TRUE(clicked);
    EXPECT_EQ(TargetFiles().size(), 200);
    EXPECT_EQ(RowTexts().size(), 200);
    EXPECT_EQ(RowTexts().first(), sources[199]);
    EXPECT_TRUE(dialogs.Warnings().isEmpty());
}

TEST_F(MoveCommandTest, ASecondMoveWhileOneRunsMovesTheOtherFilesAndUndoCoversBoth)
{
    const QStringList sources = NumberedSources(300);
    FillRows(sources);
    Rows().SetAllChecked(true);
    // Once the first move has moved files, the user starts a second one.
    const QString second = dir.CreateFolder(QStringLiteral("second"));
    bool started = false;
    pump.hook = [&](int) {
        if (!started && !TargetFiles().isEmpty()) {
            started = true;
            Move(second);
        }
    };
    Move(target);
    ASSERT_TRUE(started);
    const qsizetype inSecond = QDir(second).entryList(QDir::Files).size();
    EXPECT_GT(inSecond, 0);
    EXPECT_EQ(TargetFiles().size() + inSecond, sources.size());
    EXPECT_EQ(Rows().Count(), 0);
    EXPECT_TRUE(NotMovedMessages().isEmpty()) << NotMovedMessages().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(MenuEntry(QStringLiteral("Undo Last Move"))->text(), QStringLiteral("Undo Last Move (300 files)"));
}

TEST_F(MoveCommandTest, CloseDuringTheCopyLeavesTheFileInHandWhereItWas)
{
    fileSystem.renames = false;  // the copy's path, as across file systems
    const QString a = dir.CreateFile(QStringLiteral("src/a.txt"), "alpha");
    const QString b = dir.CreateFile(QStringLiteral("src/b.txt"), "beta");
    FillRows({a, b});
    CheckRows({1, 2});
    pump.hook = [&](int point) {
        if (point == 2)
            form->close();
    };
    Move(target);
    BackgroundFileWork::WaitForAll();
    EXPECT_EQ(Contents(a), QByteArray("alpha"));
    EXPECT_EQ(Contents(b), QByteArray("beta"));
    EXPECT_EQ(TargetFiles(), QStringList());
    EXPECT_EQ(RowTexts(), (QStringList{a, b}));
}

TEST_F(MoveCommandTest, AStuckCopyHoldsNeitherTheWindowNorItsClose)
{
    fileSystem.renames = false;  // the copy's path, as across file systems
    const QString a = dir.CreateFile(QStringLiteral("src/a.txt"), "alpha");
    FillRows({a});
    CheckRows({1});
    std::promise<void> unstuck;
    std::shared_future<void> stuck = unstuck.get_future().share();
    fileSystem.beforeCopy = [stuck](const QString&) { stuck.wait(); };
    bool eventsRan = false;
    QElapsedTimer sinceClose;
    QTimer::singleShot(50, form.get(), [&] {
        eventsRan = true;
        sinceClose.start();
        form->close();
    });
    Move(target);
    EXPECT_TRUE(eventsRan);
    EXPECT_LT(sinceClose.elapsed(), 200);
    unstuck.set_value();
    BackgroundFileWork::WaitForAll();
    EXPECT_EQ(Contents(a), QByteArray("alpha"));
    EXPECT_EQ(TargetFiles(), QStringList()) << "the abandoned copy was not undone";
}

TEST_F(MoveCommandTest, ASourceChangedDuringTheMoveStaysWithItsChangeBesideTheCopyOfBefore)
{
    fileSystem.renames = false;  // the copy's path, as across file systems
    // Times in the past, so that a change within the clock's tick still shows.
    QStringList sources;
    for (const char* name : {"overwritten.txt", "replaced.txt", "appended.txt"}) {
        sources << dir.CreateFile(QStringLiteral("src/") + QLatin1String(name), "before");
        TestDir::SetTimes(sources.back(), 1'500'000'000, 1'500'000'000);
    }
    FillRows(sources);
    CheckRows({1, 2, 3});
    std::atomic<bool> appendedCopied = false;
    // Another program writes while the copy reads...
    fileSystem.betweenCopyChunks = [&](const QString& source) {
        if (source == sources[0]) {
            QFile file(source);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            file.write("BEFORE");
        } else if (source == sources[1]) {
            const QString newVersion = dir.CreateFile(QStringLiteral("src/new"), "before");
            ASSERT_EQ(::rename(QFile::encodeName(newVersion).constData(), QFile::encodeName(source).constData()), 0);
        } else {
            appendedCopied = true;
        }
    };
    // ... or once the content is copied, before the source is deleted.
    pump.hook = [&](int) {
        if (appendedCopied.exchange(false)) {
            QFile file(sources[2]);
            ASSERT_TRUE(file.open(QIODevice::Append));
            file.write(" and after");
        }
    };
    Move(target);

    EXPECT_EQ(Contents(sources[0]), QByteArray("BEFORE"));
    EXPECT_EQ(Contents(sources[2]), QByteArray("before and after"));
    ASSERT_EQ(NotMovedMessages().size(), 1);
    for (int r = 1; r <= 3; ++r) {
        const QString copy = target + QLatin1Char('/') + QFileInfo(sources[r - 1]).fileName();
        EXPECT_TRUE(QFile::exists(sources[r - 1]));
        EXPECT_TRUE(Rows().Checked(r));
        EXPECT_TRUE(NotMovedMessages()[0].contains(sources[r - 1] + QStringLiteral(": it changed while it was moved: "
            "the changed file stays in its folder, and the copy made before the change is at ") + copy))
            << NotMovedMessages()[0].toStdString();
    }
}

TEST_F(MoveCommandTest, ASourceOnFatOverwrittenWithItsStampsKeptStaysBesideTheCopyOfBefore)
{
    OnFatMounts([&](const QString& name, const QString&) {
        const QString a = dir.CreateFile(name + QStringLiteral("/a.txt"), "before");
        TestDir::SetTimes(a, 1'500'000'000, 1'500'000'000);
        FillRows({a});
        CheckRows({1});
        // Once the copy read it, the file is overwritten, same size, its times put back:
        // FAT keeps no change time, so every stamp is as the copy saw it.
        std::atomic<bool> copied = false;
        fileSystem.betweenCopyChunks = [&](const QString&) { copied = true; };
        pump.hook = [&](int) {
            if (!copied.exchange(false))
                return;
            QFile file(a);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            file.write("BEFORE");
            file.close();
            TestDir::SetTimes(a, 1'500'000'000, 1'500'000'000);
        };
        Move(target);
        EXPECT_EQ(Contents(a), QByteArray("BEFORE"));
        EXPECT_EQ(Contents(target + QStringLiteral("/a.txt")), QByteArray("before"));
        EXPECT_TRUE(NotMovedMessages().value(0).contains(a + QStringLiteral(": it changed while it was moved")))
            << NotMovedMessages().value(0).toStdString();
        QFile::remove(target + QStringLiteral("/a.txt"));
        Rows().Clear();
    });
}

TEST_F(MoveCommandTest, ATargetFolderRenamedDuringTheCopyIsNamedWhereTheCopyStands)
{
    fileSystem.renames = false;  // the copy's path, as across file systems
    const QString a = dir.CreateFile(QStringLiteral("src/a.txt"), "alpha");
    const QString renamed = dir.Path(QStringLiteral("renamed"));
    FillRows({a});
    CheckRows({1});
    pump.hook = [&](int point) {
        if (point == 2) {
            ASSERT_TRUE(QDir().rename(target, renamed));
        }
    };
    Move(target);
    EXPECT_EQ(Contents(a), QByteArray("alpha"));
    EXPECT_EQ(Contents(renamed + QStringLiteral("/a.txt")), QByteArray("alpha"));
    EXPECT_FALSE(Rows().Checked(1));
    ASSERT_EQ(NotMovedMessages().size(), 1);
    EXPECT_TRUE(NotMovedMessages()[0].contains(a + QStringLiteral(": copied to ") + renamed
                                               + QStringLiteral("/a.txt, as the target folder was renamed meanwhile")));
}

TEST_F(MoveCommandTest, AFileThatCannotBeDeletedIsUncheckedSoTheNextMoveAddsNoCopy)
{
    const QString a = dir.CreateFile(QStringLiteral("src/a.txt"), "alpha");
    const TestMount readOnly = TestMount::Bind(dir.Path(QStringLiteral("src")), dir.Path(QStringLiteral("src")), true);
    if (!readOnly.Mounted())
        GTEST_SKIP() << "no read-only bind mount can be made here";
    FillRows({a});
    CheckRows({1});
    Move(target);
    Move(target);
    EXPECT_EQ(Contents(a), QByteArray("alpha"));
    EXPECT_EQ(TargetFiles(), QStringList{QStringLiteral("a.txt")});
    EXPECT_FALSE(Rows().Checked(1));
    ASSERT_EQ(NotMovedMessages().size(), 1);
    EXPECT_TRUE(NotMovedMessages()[0].contains(QStringLiteral("(Read-only file system), so it is now in both places")));
}

TEST_F(MoveCommandTest, TheFilesOwnFolderReachedByAnotherPathLeavesItUntouched)
{
    const QString a = dir.CreateFile(QStringLiteral("src/a.txt"), "alpha");
    const QString src = dir.Path(QStringLiteral("src"));
    ASSERT_EQ(::symlink(QFile::encodeName(src).constData(), QFile::encodeName(dir.Path(QStringLiteral("link"))).constData()), 0);
    QStringList ownFolders{dir.Path(QStringLiteral("link")), src + QStringLiteral("/../src"), src + QStringLiteral("/.")};
    const TestMount bind = TestMount::Bind(src, target);
    if (bind.Mounted())
        ownFolders << target;
    for (const QString& folder : ownFolders) {
        SCOPED_TRACE(folder.toStdString());
        dialogs.shown.clear();
        FillRows({a});
        CheckRows({1});
        Move(folder);
        EXPECT_EQ(QDir(src).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("a.txt")});
        EXPECT_EQ(Contents(a), QByteArray("alpha"));
        EXPECT_TRUE(Rows().Checked(1));
        ASSERT_EQ(NotMovedMessages().size(), 1);
        EXPECT_TRUE(NotMovedMessages()[0].contains(a + QStringLiteral(": it is already in that folder")));
    }
}
TEST_F(MoveCommandTest, AFileListedThroughTwoFolderPathsIsMovedOnce)
{
    const QString a = dir.CreateFile(QStringLiteral("A/x.txt"), "x");
    const QString kept = dir.CreateFile(QStringLiteral("A/y.txt"), "y");
    ASSERT_EQ(::symlink(QFile::encodeName(dir.Path(QStringLiteral("A"))).constData(),
                        QFile::encodeName(dir.Path(QStringLiteral("Alink"))).constData()), 0);
    const QString throughLink = dir.Path(QStringLiteral("Alink/x.txt"));
    const QString ownFolder = dir.Path(QStringLiteral("Alink/y.txt"));
    FillRows({a, kept, throughLink, ownFolder});
    CheckRows({1, 2, 3, 4});
    Move(dir.Path(QStringLiteral("A")));  // y.txt stays, by either path, and is named once
    EXPECT_EQ(RowTexts(), (QStringList{a, kept, throughLink, ownFolder}));
    EXPECT_TRUE(NotMovedMessages().value(0).startsWith(QStringLiteral("2 of the checked files were not moved:")));
    dialogs.shown.clear();
    Move(target);
    EXPECT_EQ(TargetFiles(), (QStringList{QStringLiteral("x.txt"), QStringLiteral("y.txt")}));
    EXPECT_EQ(Rows().Count(), 0);
    EXPECT_TRUE(NotMovedMessages().isEmpty()) << NotMovedMessages().value(0).toStdString();
}

TEST_F(MoveCommandTest, TemporariesAKilledMoveLeftOnFatGoWithTheNextMoveIntoTheirFolder)
{
    OnFatMounts([&](const QString& name, const QString& stick) {
        // Owners that no longer run: this process's id started at another time, or in another boot.
        const QList<QByteArray> owner = OwnerOf(::getpid()).split('-');
        const QString live = QString::fromLatin1(owner.join('-'));
        const QString reused = QString::fromLatin1(owner[0] + "-1-" + owner[2]);
        const QString rebooted = QString::fromLatin1(owner[0] + '-' + owner[1] + "-00000000");
        const QStringList abandoned{dir.CreateFile(name + QStringLiteral("/.x.txt.%1.k3.part").arg(reused), "x"),
                                    dir.CreateFile(name + QStringLiteral("/.y.txt.%1.k4.take").arg(rebooted), "y"),
                                    dir.CreateFile(name + QStringLiteral("/y.txt"))};
        const QStringList kept{dir.CreateFile(name + QStringLiteral("/.z.txt.%1.k5.part").arg(live), "z"),
                               dir.CreateFile(name + QStringLiteral("/.w.txt.k6.part"), "w"),
                               dir.CreateFile(name + QStringLiteral("/w.txt"))};
        FillRows({dir.CreateFile(name + QStringLiteral("-src/a.txt"), "alpha")});
        CheckRows({1});
        Move(stick);
        for (const QString& path : abandoned)
            EXPECT_FALSE(QFile::exists(path)) << path.toStdString();
        for (const QString& path : kept)
            EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
        EXPECT_EQ(Contents(stick + QStringLiteral("/a.txt")), QByteArray("alpha"));
        EXPECT_EQ(QDir(stick).entryList(QDir::Files | QDir::Hidden).size(), kept.size() + 1);
    });
}

TEST_F(MoveCommandTest, FatTargetsTakeFilesWithoutPermissionBitsOrLinksAndRefuseNamesTheyCannotHold)
{
    OnFatMounts([&](const QString& name, const QString& stick) {
        const QString a = dir.CreateFile(name + QStringLiteral("-src/a.txt"), "alpha");
        const QString refused = dir.CreateFile(name + QStringLiteral("-src/what?.txt"), "question");
        ::chmod(QFile::encodeName(a).constData(), 0640);
        TestDir::SetTimes(a, 1'500'000'001, 1'500'000'001);
        ASSERT_TRUE(QDir(stick).mkdir(QStringLiteral("in")));
        const QString taken = dir.CreateFile(name + QStringLiteral("/in/a.txt"), "already there");
        FillRows({a, refused});
        CheckRows({1, 2});
        Move(stick + QStringLiteral("/in"));
        // The name taken is reserved for the numbered copy, never replaced.
        EXPECT_EQ(Contents(taken), QByteArray("already there"));
        EXPECT_EQ(Contents(stick + QStringLiteral("/in/a (2).txt")), QByteArray("alpha"));
        EXPECT_FALSE(QFile::exists(a));
        EXPECT_EQ(Contents(refused), QByteArray("question"));
        EXPECT_EQ(QDir(stick + QStringLiteral("/in")).entryList(QDir::Files | QDir::Hidden),
                  (QStringList{QStringLiteral("a (2).txt"), QStringLiteral("a.txt")}));
        EXPECT_EQ(RowTexts(), QStringList{refused});
        ASSERT_EQ(NotMovedMessages().size(), 1);
        EXPECT_TRUE(NotMovedMessages()[0].contains(
            refused + QStringLiteral(": The target folder's file system cannot hold this name; it stays in its folder")))
            << NotMovedMessages()[0].toStdString();
        EXPECT_TRUE(dialogs.Warnings().isEmpty());
        // The date modified holds under the final name, to FAT's 2 s, and Undo Last Move takes the file back.
        struct stat moved {};
        ASSERT_EQ(::stat(QFile::encodeName(stick + QStringLiteral("/in/a (2).txt")).constData(), &moved), 0);
        EXPECT_LE(std::abs(moved.st_mtim.tv_sec - 1'500'000'001), 1);
        MenuEntry(QStringLiteral("Undo Last Move"))->trigger();
        EXPECT_EQ(Contents(a), QByteArray("alpha")) << dialogs.Messages().join(QStringLiteral("\n")).toStdString();
        EXPECT_FALSE(QFile::exists(stick + QStringLiteral("/in/a (2).txt")));
        Rows().Clear();

        // A file of 4 GiB is refused by FAT at once, before any copying; exFAT has no such limit.
        if (name == QStringLiteral("fat")) {
            dialogs.shown.clear();
            const QString large = dir.CreateFile(name + QStringLiteral("-src/large.bin"), "");
            ASSERT_TRUE(QFile(large).resize(qint64(4) << 30));
            FillRows({large});
            CheckRows({1});
            Move(stick + QStringLiteral("/in"));
            EXPECT_EQ(QFileInfo(large).size(), qint64(4) << 30);
            EXPECT_FALSE(QFile::exists(stick + QStringLiteral("/in/large.bin")));
            ASSERT_EQ(NotMovedMessages().size(), 1);
            EXPECT_TRUE(NotMovedMessages()[0].contains(large + QStringLiteral(": The target folder's FAT file system "
                "cannot hold a file of 4 GiB or more; it stays in its folder"))) << NotMovedMessages()[0].toStdString();
            Rows().Clear();
        }
    });
}
}  // namespace
