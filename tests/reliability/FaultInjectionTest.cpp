#include "app/core/MousePointer.h"
#include "tests/reliability/FaultFixture.h"

#include <QPushButton>

#include <algorithm>
#include <cerrno>
#include <cstring>

// Each command runs once without a fault to count its file-system calls, then
// once for every call failing with each error: nothing crashes, no file is
// lost or left half-written, a failure is told and never reported as success,
// and the same command works again afterwards.
namespace {
enum class Command { Search, Save, Move, Recycle };

struct Fault {
    int error;
    bool persistent;
};
constexpr Fault kFaults[] = {{EACCES, false}, {ENOENT, false}, {EIO, false}, {ENOSPC, false}, {ENOSPC, true}};

const QString kOldList = QStringLiteral("old list\r\n");

class FaultInjectionTest : public FaultFixture, public testing::WithParamInterface<Command> {
protected:
    // A fresh tree, the window's lists and the dialogs' answers for one run.
    void Prepare()
    {
        MakeTree();
        // A deeper branch gives the search's expansion more levels to fail at.
        files << runDir->CreateFile(QStringLiteral("tree/c/d/e/deep.txt"), "deep");
        EmptyTrash();
        checked.clear();
        Rows().Clear();
        FillRows(files);
        CheckRows({1, 2, 5});
        for (int r = 1; r <= Rows().Count(); ++r) {
            if (Rows().Checked(r))
                checked << Rows().Text(r);
        }
        listPath = runDir->CreateFile(QStringLiteral("lists/list.txt"), kOldList.toUtf8());
        before = AllContent();
    }

    void RunCommand()
    {
        dialogs.shown.clear();
        dialogs.answers = {true};
        dialogs.saveNames = {listPath};
        dialogs.folders = {Target()};
        switch (GetParam()) {
        case Command::Search: SearchTree(); break;
        case Command::Save: form->PushButton2_Click(); break;
        case Command::Move: form->PushButton11_Click(); break;
        case Command::Recycle: form->PushButton5_Click(); break;
        }
    }

    bool Told() const { return !dialogs.Warnings().isEmpty() || !dialogs.Messages().isEmpty(); }
    bool DoneShown() const { return dialogs.Messages().contains(QStringLiteral("Done.")); }

    // The rules every run keeps, with or without a fault.
    void CheckRun()
    {
        const std::multiset<QByteArray> after = AllContent();
        EXPECT_TRUE(std::includes(after.begin(), after.end(), before.begin(), before.end())) << "a file was lost";
        EXPECT_TRUE(after.size() == before.size() || Told()) << "an unreported copy was left";
        EXPECT_EQ(Leftovers(), QStringList());
        EXPECT_EQ(form->MousePointer(), MousePointer::Default);
        const bool faulted = faulty.FailureCount() > 0;
        // Every error box names the injected failure in the box's own format.
        for (const QString& warning : dialogs.Warnings()) {
            EXPECT_TRUE(faulted);
            EXPECT_TRUE(warning.startsWith(QString::fromLocal8Bit(strerror(injected)) + QStringLiteral("\r\nin ")))
                << warning.toStdString();
            EXPECT_TRUE(warning.contains(QStringLiteral(" at line "))) << warning.toStdString();
        }
        switch (GetParam()) {
        case Command::Search: CheckSearch(); break;
        case Command::Save: CheckSave(); break;
        case Command::Move: CheckChangedFiles(faulted, Target()); break;
        case Command::Recycle: CheckChangedFiles(faulted, TrashFiles()); break;
        }
    }

    void CheckSearch()
    {
        EXPECT_EQ(form->PushButton1->text(), QStringLiteral("Start Searching"));
        const std::set<QString> all(files.cbegin(), files.cend());
        const std::set<QString> found = ResultSet();
        EXPECT_TRUE(std::includes(all.begin(), all.end(), found.begin(), found.end()));
    }

    void CheckSave()
    {
        const QByteArray written = Contents(listPath);
        if (DoneShown()) {
            EXPECT_EQ(written.count("\t\r\n"), Rows().Count() + 1);
            EXPECT_TRUE(written.startsWith("File(s) Found"));
        } else {
            EXPECT_EQ(written, kOldList.toUtf8()) << "a failed save changed the old list";
        }
        EXPECT_EQ(dialogs.Warnings().size(), faulty.FailureCount()) << "each failure is told, once";
        // Nothing but the list stands in its folder.
        EXPECT_EQ(QDir(QFileInfo(listPath).path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("list.txt")});
    }

    // Move and trash: a checked file either stands at its place with its row
    // still checked, or has gone to the destination and its row is gone.
    void CheckChangedFiles(bool faulted, const QString& destination)
    {
        const QStringList rows = RowTexts();
        const std::multiset<QByteArray> arrived = ContentChecksums(SnapshotTree(destination));
        bool someStayed = false;
        for (const QString& path : checked) {
            SCOPED_TRACE(path.toStdString());
            const qsizetype row = rows.indexOf(path);
            if (QFile::exists(path)) {
                someStayed = true;
                ASSERT_GE(row, 0) << "the row of a file still in place was removed";
                // A file copied but not deleted is in both places: its row is
                // unchecked, so that the next run does not copy it again.
                const QFileInfo info(path);
                const bool bothPlaces = arrived.count(SnapshotTree(info.path())[QFile::encodeName(info.fileName())]) > 0;
                EXPECT_EQ(Rows().Checked(static_cast<int>(row) + 1), !bothPlaces);
            } else {
                EXPECT_TRUE(row < 0 || !dialogs.Warnings().isEmpty()) << "a row outlived its file silently";
            }
        }
        EXPECT_TRUE(!someStayed || Told()) << "a file was left in place without a word";
        if (faulted) {
            EXPECT_TRUE(Told());
        }
        EXPECT_FALSE(DoneShown());
        for (const QString& path : files) {
            if (!checked.contains(path)) {
                EXPECT_TRUE(QFile::exists(path) && rows.contains(path));
            }
        }
        EXPECT_LE(arrived.size(), static_cast<size_t>(checked.size()));
    }

    // After a faulty run the command, run again without a fault, does all of its work.
    void CheckUsableAgain()
    {
        faulty.FailAt(0, 0);
        QStringList stillChecked;
        for (int r = 1; r <= Rows().Count(); ++r) {
            if (Rows().Checked(r))
                stillChecked << Rows().Text(r);
        }
        const qsizetype rowsBefore = Rows().Count();
        RunCommand();
        switch (GetParam()) {
        case Command::Search:
            EXPECT_EQ(ResultSet(), std::set<QString>(files.cbegin(), files.cend()));
            break;
        case Command::Save:
            EXPECT_TRUE(DoneShown());
            EXPECT_TRUE(dialogs.Warnings().isEmpty());
            break;
        case Command::Move:
        case Command::Recycle:
            for (const QString& path : stillChecked)
                EXPECT_FALSE(QFile::exists(path)) << path.toStdString();
            EXPECT_EQ(Rows().Count(), rowsBefore - stillChecked.size());
            break;
        }
        EXPECT_EQ(Leftovers(), QStringList());
    }

    QString listPath;
    int injected = 0;
    QStringList checked;
    std::multiset<QByteArray> before;
};

TEST_P(FaultInjectionTest, EveryCallFailingInTurnLosesNothingAndIsToldNeverAsSuccess)
{
    Prepare();
    faulty.FailAt(0, 0);
    RunCommand();
    const int calls = faulty.CallCount();
    CheckRun();
    ASSERT_GT(calls, 0);
    if (GetParam() == Command::Save) {
        EXPECT_TRUE(DoneShown());
    }

    for (int k = 1; k <= calls; ++k) {
        for (const Fault& fault : kFaults) {
            SCOPED_TRACE(testing::Message() << "call " << k << " of " << calls << " fails with "
                                            << strerror(fault.error) << (fault.persistent ? " from then on" : ""));
            Prepare();
            injected = fault.error;
            faulty.FailAt(k, fault.error, FaultyFileSystem::Calls::All, fault.persistent);
            RunCommand();
            CheckRun();
            CheckUsableAgain();
            if (HasFatalFailure() || HasFailure())
                return;
        }
    }
}

std::string CommandName(const testing::TestParamInfo<Command>& info)
{
    constexpr const char* kNames[] = {"Search", "Save", "Move", "Recycle"};
    return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(FaultInjection, FaultInjectionTest,
                         testing::Values(Command::Search, Command::Save, Command::Move, Command::Recycle),
                         CommandName);
}  // namespace
