#include "tests/reliability/FaultFixture.h"
#include "tests/support/TrashCli.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QStandardPaths>

// Odd names found by a search go through the copy and the trash intact: the
// clipboard keeps one line per row, and the trash records every name so that
// the standard tools restore it to its exact path.
namespace {

const QStringList kOddNames = {
    QStringLiteral("line\nbreak.txt"),
    QStringLiteral("carriage\rreturn.txt"),
    QStringLiteral("tab\tand\x01" "control.txt"),
    QStringLiteral("  leading and trailing  "),
    QStringLiteral("x%41y.txt"),
    QStringLiteral("x%2Fy.txt"),
};

class BadInputTest : public FaultFixture {
protected:
    void SetUp() override
    {
        FaultFixture::SetUp();
        EmptyTrash();
        runDir = std::make_unique<TestDir>();
        runDir->CreateFolder(QStringLiteral("target"));
        for (const QString& name : kOddNames)
            paths << runDir->CreateFile(QStringLiteral("tree/") + name, name.toUtf8());
        longName = runDir->CreateFile(QStringLiteral("tree/") + QString(250, QLatin1Char('n')), "long");
        SearchTree();
    }
    void TearDown() override
    {
        FaultFixture::TearDown();
        EmptyTrash();
    }

    QStringList paths;
    QString longName;
};

TEST_F(BadInputTest, CopyKeepsOneLinePerRowWhateverTheNames)
{
    ASSERT_EQ(Rows().Count(), kOddNames.size() + 1);
    form->PushButton4_Click();

    const QString text = QGuiApplication::clipboard()->text();
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), Rows().Count());
    EXPECT_EQ(text.count(QLatin1Char('\n')), Rows().Count());
    // Control characters show as "?"; spaces and other characters stay as named.
    for (QString path : std::as_const(paths)) {
        for (QChar& c : path)
            c = c.unicode() < 0x20 ? QLatin1Char('?') : c;
        EXPECT_TRUE(text.contains(path)) << qPrintable(path);
    }
    EXPECT_TRUE(text.contains(longName));
}

TEST_F(BadInputTest, TrashTakesOddNamesWhole_AndTheStandardToolsRestoreThemToTheirExactPaths)
{
    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("trash-restore")).isEmpty())
        << "trash-cli is missing: run scripts/setup.sh";
    const std::multiset<QByteArray> before = AllContent();
    Rows().SetAllChecked(true);
    dialogs.answers.push_back(true);
    form->PushButton5_Click();

    // Nothing lost, nothing doubled, nothing half-written left.
    EXPECT_EQ(AllContent(), before);
    EXPECT_EQ(Leftovers(), QStringList());

    // Every odd name went; trash-cli lists it and brings it back to its exact path.
    const QByteArray listed = RunTrashCli(QStringLiteral("trash-list"));
    for (const QString& path : std::as_const(paths)) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_FALSE(QFile::exists(path));
        EXPECT_FALSE(RowTexts().contains(path));
        EXPECT_TRUE(listed.contains(QFile::encodeName(path)));
        RunTrashCli(QStringLiteral("trash-restore"), path);
        EXPECT_EQ(Contents(path), QFileInfo(path).fileName().toUtf8());
    }
    // The record of a long name is named "<name>.trashinfo"; a GLib that
    // cannot shorten it refuses the file, which stays with the reason.
    if (QFile::exists(longName)) {
        ASSERT_EQ(dialogs.Messages().size(), 1);
        EXPECT_TRUE(dialogs.Messages()[0].contains(longName + QStringLiteral(": The name is too long for the trash to record")));
        EXPECT_EQ(RowTexts(), QStringList{longName});
        EXPECT_TRUE(Rows().Checked(1));
    } else {
        EXPECT_TRUE(dialogs.Messages().isEmpty());
        RunTrashCli(QStringLiteral("trash-restore"), longName);
        EXPECT_EQ(Contents(longName), QByteArray("long"));
    }

    // The program goes on: the next search finds every file back.
    SearchTree();
    EXPECT_EQ(Rows().Count(), kOddNames.size() + 1);
}

}  // namespace
