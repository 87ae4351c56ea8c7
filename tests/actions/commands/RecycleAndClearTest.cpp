#include "app/core/ApplicationTitle.h"
#include "tests/actions/commands/ActionsFixture.h"
#include "tests/actions/commands/RefusingFileSystem.h"
#include "tests/support/TestMount.h"
#include "tests/support/TrashCli.h"

#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {
class RecycleAndClearTest : public ActionsFixture {
protected:
    void SetUp() override { MakeForm(&fileSystem); }

    QStringList Questions() { return dialogs.Texts(FakeDialogs::Kind::Question); }

    void Trash(const QStringList& paths, std::initializer_list<int> checked)
    {
        FillRows(paths);
        CheckRows(checked);
        dialogs.answers.push_back(true);
        form->PushButton5_Click();
    }

    QAction* RestoreEntry() { return MenuEntry(QStringLiteral("Restore Last Trashed")); }

    // The lines of the trash, as the desktop's own tool lists it, that name path.
    static int TrashListed(const QString& path)
    {
        return static_cast<int>(QString::fromUtf8(RunTrashCli(QStringLiteral("trash-list"))).split(QLatin1Char('\n'))
                                    .filter(QRegularExpression(QStringLiteral(" ") + QRegularExpression::escape(path) + QStringLiteral("$")))
                                    .size());
    }

    RefusingFileSystem fileSystem;
};

TEST_F(RecycleAndClearTest, NoAnswerChangesNothing)
{
    const QString a = dir.CreateFile(QStringLiteral("a.txt"), "a");
    FillRows({a, dir.CreateFile(QStringLiteral("b.txt"), "b")});
    CheckRows({1, 2});
    form->PushButton5_Click();
    EXPECT_EQ(Questions(), QStringList{QStringLiteral("Move 2 checked files to the trash?")});
    EXPECT_EQ(dialogs.shown[0].title, ApplicationTitle());
    EXPECT_TRUE(QFile::exists(a));
    EXPECT_EQ(Rows().Count(), 2);
    EXPECT_TRUE(Rows().Checked(1) && Rows().Checked(2));
}

TEST_F(RecycleAndClearTest, NothingCheckedAsksNothing)
{
    FillRows({dir.CreateFile(QStringLiteral("a.txt"), "a")});
    form->PushButton5_Click();
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(Rows().Count(), 1);
}

TEST_F(RecycleAndClearTest, RemovesExactlyTheRowsWhoseFilesWentAndNamesTheRefusedOnes)
{
    QStringList paths;
    for (int i = 1; i <= 8; ++i)
        paths << dir.CreateFile(QStringLiteral("f%1.txt").arg(i), "x");
    fileSystem.refuseTrash.insert(paths[1]);  // row 2, the first checked
    FillRows(paths + QStringList{paths[4]});   // two overlapping folders list f5.txt twice
    CheckRows({2, 5, 7, 9});
    dialogs.answers.push_back(true);
    form->PushButton5_Click();

    EXPECT_EQ(Questions(), QStringList{QStringLiteral("Move 3 checked files to the trash?")});
    EXPECT_EQ(RowTexts(), (QStringList{paths[0], paths[1], paths[2], paths[3], paths[5], paths[7]}));
    EXPECT_TRUE(Rows().Checked(2));
    EXPECT_TRUE(QFile::exists(paths[1]));
    EXPECT_FALSE(QFile::exists(paths[4]));
    EXPECT_FALSE(QFile::exists(paths[6]));
    ASSERT_EQ(dialogs.Messages().size(), 1);
    EXPECT_TRUE(dialogs.Messages()[0].startsWith(QStringLiteral("1 of the checked files could not be moved to the trash:")));
    EXPECT_TRUE(dialogs.Messages()[0].contains(paths[1]));
    // The files went to the trash of the data folder, where the desktop finds them again.
    const QString trash = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash");
    bool recorded = false;
    for (const QFileInfo& info : QDir(trash + QStringLiteral("/info")).entryInfoList(QDir::Files))
        recorded = recorded || Contents(info.filePath()).contains("Path=" + QFile::encodeName(paths[4]));
    EXPECT_TRUE(recorded);
    EXPECT_FALSE(QDir(QDir::currentPath() + QStringLiteral("/files")).exists());
}

TEST_F(RecycleAndClearTest, AFileThatStaysKeepsItsRowAndTheRealReason)
{
    // The record of the last trash outlives one that sent nothing.
    Trash({dir.CreateFile(QStringLiteral("earlier.txt"), "e")}, {1});
    const QString unsearchable = dir.CreateFile(QStringLiteral("b/unsearchable.txt"), "u");
    fileSystem.unsearchable.insert(unsearchable);
    const TestMount disk = TestMount::Tmpfs(dir.CreateFolder(QStringLiteral("mount")));  // no trash is made on a tmpfs
    QStringList paths{unsearchable};
    QString reasons = unsearchable + QStringLiteral(": Permission denied");
    if (disk.Mounted()) {
        paths << dir.CreateFile(QStringLiteral("mount/c.txt"), "c");
        reasons += QStringLiteral("\r") + paths[1] + QStringLiteral(": No trash folder can be made on this file system");
    }
    FillRows(paths);
    Rows().SetAllChecked(true);
    dialogs.answers.push_back(true);
    form->PushButton5_Click();
    EXPECT_EQ(RowTexts(), paths);
    for (int r = 1; r <= Rows().Count(); ++r)
        EXPECT_TRUE(QFile::exists(paths[r - 1]) && Rows().Checked(r));
    EXPECT_EQ(dialogs.Messages(), QStringList{QStringLiteral("%1 of the checked files could not be moved to the trash:\r\r")
                                                  .arg(paths.size()) + reasons});
    EXPECT_EQ(RestoreEntry()->text(), QStringLiteral("Restore Last Trashed (1 file)"));
}

TEST_F(RecycleAndClearTest, AFileTheTrashCouldNotRecordIsPutBackAndKeepsItsRow)
{
    // The file fits its folder, but its record's name and the record's temporary name do not fit the trash's.
    const QString longName = dir.CreateFile(QString(240, QLatin1Char('n')), "long");
    const QString fine = dir.CreateFile(QStringLiteral("fine.txt"), "fine");
    Trash({longName, fine}, {1, 2});
    EXPECT_EQ(Contents(longName), QByteArray("long"));
    EXPECT_EQ(RowTexts(), QStringList{longName});
    EXPECT_TRUE(Rows().Checked(1));
    EXPECT_EQ(dialogs.Messages(), QStringList{QStringLiteral("1 of the checked files could not be moved to the trash:\r\r")
        + longName + QStringLiteral(": The trash could not record where the file came from (its name may be too long "
                                    "for the record, or the disk full), so it was put back")});
    const QString trash = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash");
    for (const char* folder : {"/files", "/info"})
        EXPECT_TRUE(QDir(trash + QLatin1String(folder)).entryList(QDir::Files).filter(QStringLiteral("nnnnnnnn")).isEmpty());
    EXPECT_EQ(RestoreEntry()->text(), QStringLiteral("Restore Last Trashed (1 file)"));
}

TEST_F(RecycleAndClearTest, ARowWhoseFileIsAlreadyGoneIsRemoved)
{
    FillRows({dir.Path(QStringLiteral("gone.txt"))});
    CheckRows({1});
    dialogs.answers.push_back(true);
    form->PushButton5_Click();
    EXPECT_EQ(Rows().Count(), 0);
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST_F(RecycleAndClearTest, AHeadingClickDuringTheCollectionPassesOverNoCheckedRow)
{
    FillRows({"/r/a", "/r/b", "/r/c", "/r/d", "/r/e", "/r/f"});
    CheckRows({4, 5, 6});
    form->show();
    // Before row 4 is read, two clicks order the rows by name descending: the checked ones come first.
    const int start = pump.points;
    pump.hook = [&](int point) {
        if (point == start + 4) {
            ClickHeading(0);
            ClickHeading(0);
        }
    };
    dialogs.answers.push_back(false);
    form->PushButton5_Click();
    EXPECT_EQ(Rows().Text(1), QStringLiteral("/r/f"));
    EXPECT_EQ(Questions(), QStringList{QStringLiteral("Move 3 checked files to the trash?")});
}

TEST_F(RecycleAndClearTest, ClearEmptiesTheListAndTheCommandsFindNoRows)
{
    FillRows({dir.CreateFile(QStringLiteral("a.txt"), "a")});
    CheckRows({1});
    form->PushButton6_Click();
    EXPECT_EQ(Rows().Count(), 0);
    EXPECT_EQ(Rows().ColumnCount(), 2);
    form->PushButton6_Click();
    form->PushButton5_Click();
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(RecycleAndClearTest, RestoreLastTrashedPutsBackTheLastTrashsFilesAndNeverReplaces)
{
    EXPECT_FALSE(RestoreEntry()->isEnabled());
    // An older trash of the same path is no part of the last one.
    const QString a = dir.CreateFile(QStringLiteral("a.txt"), "old a");
    Trash({a}, {1});
    EXPECT_EQ(RestoreEntry()->text(), QStringLiteral("Restore Last Trashed (1 file)"));
    const QStringList paths{dir.CreateFile(QStringLiteral("a.txt"), "a"), dir.CreateFile(QStringLiteral("b.txt"), "b"),
                            dir.CreateFile(QStringLiteral("c"), "c")};
    const QString kept = dir.CreateFile(QStringLiteral("d.txt"), "d");
    Trash(paths + QStringList{kept}, {1, 2, 3});
    for (const QString& path : paths)
        EXPECT_EQ(TrashListed(path), path == a ? 2 : 1);
    dir.CreateFile(QStringLiteral("b.txt"), "new b");

    QAction* restore = RestoreEntry();
    EXPECT_EQ(restore->text(), QStringLiteral("Restore Last Trashed (3 files)"));
    ASSERT_TRUE(restore->isEnabled());
    restore->trigger();
    EXPECT_EQ(dialogs.Messages(), QStringList{QStringLiteral("2 files came back from the trash:\r\r%1\r%2\r\r"
                                                             "1 file did not come back:\r\r%3: a file now stands at its "
                                                             "original path and was not replaced; it stays in the trash")
                                                  .arg(a, paths[2], paths[1])});
    EXPECT_EQ(Contents(a), "a");
    EXPECT_EQ(Contents(paths[1]), "new b");
    EXPECT_EQ(TrashListed(a), 1);
    EXPECT_EQ(TrashListed(paths[1]), 1);
    EXPECT_EQ(TrashListed(paths[2]), 0);
    EXPECT_EQ(RowTexts(), QStringList{kept});

}

class SampleFoldersTest : public FormFixture {};

TEST_F(SampleFoldersTest, AddsBothFoldersSelectsBeforeAndOpensOnYes)
{
    MakeForm(nullptr, QStringLiteral("/opt/orvanta"));
    dialogs.answers.push_back(true);
    form->PushButton8_Click();
    RowList& rows = form->FolderRows();
    ASSERT_EQ(rows.Count(), 2);
    EXPECT_EQ(rows.Text(1), QStringLiteral("/opt/orvanta/Samples/sample1/"));
    EXPECT_EQ(rows.Text(2), QStringLiteral("/opt/orvanta/Samples/sample2/"));
    EXPECT_TRUE(form->Option6->isChecked());
    EXPECT_TRUE(form->PushButton1->isEnabled());
    ASSERT_EQ(shell.openedUrls.size(), 1u);
    EXPECT_EQ(shell.openedUrls[0].toLocalFile(), QStringLiteral("/opt/orvanta/Samples/"));

    // A samples folder that nothing can open is passed over without a box.
    shell.refusal = QStringLiteral("No program could be started");
    dialogs.answers.push_back(true);
    form->PushButton8_Click();
    EXPECT_EQ(rows.Count(), 4);
    EXPECT_EQ(dialogs.shown.size(), 2u);
}

TEST_F(SampleFoldersTest, ProgramAtTheRootGivesADoubledSeparatorAndNoOpensNothing)
{
    MakeForm(nullptr, QStringLiteral("/"));
    form->PushButton8_Click();
    EXPECT_EQ(form->FolderRows().Text(1), QStringLiteral("//Samples/sample1/"));
    EXPECT_TRUE(shell.openedUrls.empty());
    EXPECT_TRUE(form->Option6->isChecked());
}
}  // namespace
