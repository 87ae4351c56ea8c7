#include "app/core/ApplicationTitle.h"
#include "app/core/MousePointer.h"
#include "tests/actions/commands/ActionsFixture.h"
#include "tests/support/TestMount.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QSet>

namespace {
// The first cell of every line: the paths, in the order written.
QStringList FirstCells(const QString& text)
{
    QStringList cells;
    for (const QString& line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        cells << line.section(QLatin1Char('\t'), 0, 0).trimmed();
    return cells;
}

class SaveAndCopyCommandTest : public ActionsFixture {
protected:
    void SetUp() override
    {
        MakeForm();
        FillRows({QStringLiteral("/a")}, {QStringLiteral("d")});
    }
};

TEST_F(SaveAndCopyCommandTest, SaveDialogAndDone)
{
    const QString path = dir.Path(QStringLiteral("new"));
    dialogs.saveNames.push_back(path);
    form->PushButton2_Click();
    EXPECT_EQ(dialogs.lastSaveFilters, (QStringList{QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*.*)")}));
    EXPECT_EQ(dialogs.Messages(), QStringList{QStringLiteral("Done.")});
    EXPECT_EQ(Contents(path), QByteArray("File(s) Found\tDate Modified\t\r\n/a           \td            \t\r\n"));
    EXPECT_EQ(form->MousePointer(), MousePointer::Default);
}

TEST_F(SaveAndCopyCommandTest, OverwriteQuestionNoLeavesTheFileYesReplacesIt)
{
    const QString path = dir.CreateFile(QStringLiteral("old.txt"), "old");
    dialogs.saveNames = {path, path};
    dialogs.answers = {false, true};
    form->PushButton2_Click();
    EXPECT_EQ(Contents(path), QByteArray("old"));
    EXPECT_TRUE(dialogs.Messages().isEmpty());
    ASSERT_EQ(dialogs.Texts(FakeDialogs::Kind::Question).size(), 1);
    EXPECT_EQ(dialogs.Texts(FakeDialogs::Kind::Question)[0],
              QStringLiteral("Are you sure you wish to overwrite ") + path + QStringLiteral(" ?"));
    form->PushButton2_Click();
    EXPECT_TRUE(Contents(path).startsWith("File(s) Found"));
    EXPECT_EQ(dialogs.Messages(), QStringList{QStringLiteral("Done.")});
}

TEST_F(SaveAndCopyCommandTest, CancelledDialogDoesNothing)
{
    form->PushButton2_Click();
    EXPECT_TRUE(dialogs.shown.size() == 1 && dialogs.shown[0].kind == FakeDialogs::Kind::SavePicker);
}

TEST_F(SaveAndCopyCommandTest, UncreatableFileIsReportedOnceAndNotDone)
{
    for (int i = 0; i < 3; ++i)
        Rows().Add(QStringLiteral("/more"));
    dialogs.saveNames.push_back(dir.Path(QStringLiteral("missing/out.txt")));
    form->PushButton2_Click();
    ASSERT_EQ(dialogs.Warnings().size(), 1);
    EXPECT_TRUE(dialogs.Warnings()[0].contains(QStringLiteral("at line 136")));
    EXPECT_TRUE(dialogs.Messages().isEmpty());
    EXPECT_EQ(form->MousePointer(), MousePointer::Default);
}

TEST_F(SaveAndCopyCommandTest, SaveOntoAFullDiskKeepsTheOldFileAndIsNotDone)
{
    const TestMount disk = TestMount::Tmpfs(dir.CreateFolder(QStringLiteral("disk")));
    if (!disk.Mounted())
        GTEST_SKIP() << "no tmpfs can be mounted here";
    const QString path = dir.CreateFile(QStringLiteral("disk/old.txt"), "old");
    QFile filler(dir.Path(QStringLiteral("disk/filler")));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    while (filler.write(QByteArray(1 << 16, 'f')) > 0 && filler.flush()) {
    }
    // One row stays inside the write buffer until the end; a thousand do not.
    for (const int rowCount : {1, 1000}) {
        Rows().Clear();
        for (int r = 0; r < rowCount; ++r)
            Rows().Add(QStringLiteral("/a row long enough to fill the buffer soon"));
        dialogs.shown.clear();
        dialogs.saveNames = {path};
        dialogs.answers = {true};
        form->PushButton2_Click();
        EXPECT_EQ(Contents(path), QByteArray("old")) << rowCount;
        EXPECT_EQ(dialogs.Warnings().filter(QStringLiteral("No space left on device")).size(), 1) << rowCount;
        EXPECT_TRUE(dialogs.Messages().isEmpty()) << rowCount;
        EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << rowCount;
    }
}

TEST_F(SaveAndCopyCommandTest, CopyPutsPlainTextAndShowsTheMessage)
{
    form->PushButton4_Click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("/a\td\r\n"));
    EXPECT_EQ(dialogs.Messages(),
              QStringList{QStringLiteral("Results have been copied to the clipboard.\r\rClick a text area where "
                                         "you normally type and press Ctrl+V to paste the clipboard.")});
}

TEST_F(SaveAndCopyCommandTest, CopyOfAnEmptyListKeepsTheClipboard)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    Rows().Clear();
    form->PushButton4_Click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
    EXPECT_EQ(dialogs.Messages().size(), 1);
}
TEST_F(SaveAndCopyCommandTest, HeadingClicksDuringASaveOrACopyLeaveEveryRowWrittenOnceInTheStartingOrder)
{
    constexpr int kRows = 200'000;
    Rows().Clear();
    Rows().SetTimeFormatter([](qint64 time) { return QString::number(time); });
    std::vector<RowList::Row> rows;
    for (int i = 0; i < kRows; ++i)
        rows.push_back({QStringLiteral("/d/%1").arg(i, 6, 10, QLatin1Char('0')), i * 7919LL % kRows, false});
    Rows().AddRows(std::move(rows));
    form->show();
    // A click on a heading in each pass: the widths, then the lines.
    const auto clickWhileRunning = [&](int section, const std::function<void()>& command) {
        const QStringList before = RowTexts();
        const int start = pump.points;
        int clicks = 0;
        pump.hook = [&](int point) {
            if ((clicks == 0 && point == start + 1000) || (clicks == 1 && point == start + kRows + 1000)) {
                ++clicks;
                ClickHeading(section);
            }
        };
        command();
        pump.hook = nullptr;
        EXPECT_EQ(clicks, 2);
        EXPECT_TRUE(RowTexts() != before) << "the clicks did not sort the list";
        return before;
    };

    const QString path = dir.Path(QStringLiteral("sorted.txt"));
    dialogs.saveNames.push_back(path);
    const QStringList saveOrder = clickWhileRunning(1, [&] { form->PushButton2_Click(); });
    QStringList saved = FirstCells(QString::fromUtf8(Contents(path)));
    ASSERT_FALSE(saved.isEmpty());
    saved.removeFirst();
    EXPECT_TRUE(saved == saveOrder) << saved.size() << " lines, " << QSet<QString>(saved.begin(), saved.end()).size()
                                    << " distinct";
    EXPECT_EQ(dialogs.Messages(), QStringList{QStringLiteral("Done.")});

    const QStringList copyOrder = clickWhileRunning(0, [&] { form->PushButton4_Click(); });
    const QStringList copied = FirstCells(QGuiApplication::clipboard()->text());
    EXPECT_TRUE(copied == copyOrder) << copied.size() << " lines, "
                                     << QSet<QString>(copied.begin(), copied.end()).size() << " distinct";
    EXPECT_EQ(dialogs.Messages().size(), 2);
    EXPECT_TRUE(dialogs.Warnings().isEmpty());
}
}  // namespace
