#include "actions/AlignedText.h"
#include "actions/SaveListviewProperlySpaced.h"
#include "tests/actions/commands/ActionsFixture.h"

#include <QAbstractItemModelTester>

namespace {
const QStringList kExamplePaths{QStringLiteral("C:\\Data\\a.txt"), QStringLiteral("C:\\Data\\Reports\\q1.doc")};
const QStringList kExampleDates{QStringLiteral("3/4/2021 10:15:00 AM"), QStringLiteral("12/31/2020")};

class AlignedTextTest : public ActionsFixture {
protected:
    void SetUp() override { MakeForm(); }

    QByteArray Saved()
    {
        const QString path = dir.Path(QStringLiteral("out.txt"));
        EXPECT_TRUE(SaveListviewProperlySpaced(Rows(), path, posixFileSystem, pump, dialogs, nullptr));
        return Contents(path);
    }
};

TEST_F(AlignedTextTest, SavedFileOfTheWorkedExample)
{
    FillRows(kExamplePaths, kExampleDates);
    const QByteArray expected = "File(s) Found" + QByteArray(9, ' ') + "\tDate Modified" + QByteArray(7, ' ') + "\t\r\n"
        "C:\\Data\\a.txt" + QByteArray(9, ' ') + "\t3/4/2021 10:15:00 AM\t\r\n"
        "C:\\Data\\Reports\\q1.doc\t12/31/2020" + QByteArray(10, ' ') + "\t\r\n";
    EXPECT_EQ(Saved(), expected);
    EXPECT_TRUE(dialogs.Warnings().isEmpty());
}

TEST_F(AlignedTextTest, ClipboardTextOfTheWorkedExample)
{
    FillRows(kExamplePaths, kExampleDates);
    EXPECT_EQ(ClipboardText(Rows(), pump),
              QStringLiteral("C:\\Data\\a.txt         \t3/4/2021 10:15:00 AM\r\n"
                             "C:\\Data\\Reports\\q1.doc\t12/31/2020\r\n"));
}

TEST_F(AlignedTextTest, EmptyListSavesTheHeaderAlone)
{
    FillRows({});
    EXPECT_EQ(Saved(), QByteArray("File(s) Found\tDate Modified\t\r\n"));
    EXPECT_EQ(ClipboardText(Rows(), pump), QString());
}

TEST_F(AlignedTextTest, CaptionWiderThanEveryCellSetsTheSavedWidthButNotTheClipboards)
{
    FillRows({QStringLiteral("/a"), QStringLiteral("/bb")}, {QStringLiteral("1/2/2021"), QString()});
    EXPECT_EQ(Saved(), QByteArray("File(s) Found\tDate Modified\t\r\n"
                                  "/a           \t1/2/2021     \t\r\n"
                                  "/bb          \t             \t\r\n"));
    // An empty last cell leaves the TAB before it; a cell as wide as its column gets no spaces.
    EXPECT_EQ(ClipboardText(Rows(), pump), QStringLiteral("/a \t1/2/2021\r\n/bb\t\r\n"));
}

TEST_F(AlignedTextTest, WidthsCountUtf16UnitsAndFileIsUtf8WithoutMark)
{
    // "é" is one unit and two bytes; the clef is two units and four bytes.
    FillRows({QStringLiteral("/\u00e9"), QStringLiteral("/\U0001D11E"), QStringLiteral("/abc")}, {});
    const QByteArray saved = Saved();
    EXPECT_FALSE(saved.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(saved.contains("/\xC3\xA9" + QByteArray(11, ' ') + "\t"));
    EXPECT_TRUE(saved.contains("/\xF0\x9D\x84\x9E" + QByteArray(10, ' ') + "\t"));
}

TEST_F(AlignedTextTest, ControlCharactersInANameKeepOneLinePerRow)
{
    FillRows({QStringLiteral("/x\ny\tz\r")}, {QStringLiteral("d")});
    EXPECT_EQ(Saved(), QByteArray("File(s) Found\tDate Modified\t\r\n"
                                  "/x?y?z?      \td            \t\r\n"));
    EXPECT_EQ(ClipboardText(Rows(), pump), QStringLiteral("/x?y?z?\td\r\n"));
}

TEST_F(AlignedTextTest, RowsSortedBetweenThePassesAreCopiedInTheOrderTheyHadWithTheirOwnDates)
{
    FillRows(kExamplePaths, kExampleDates);
    // Points 1 and 2 are the widths pass; the rows change order before the lines are built.
    const int start = pump.points;
    pump.hook = [&](int point) {
        if (point == start + 3)
            Rows().Sort(2, Qt::DescendingOrder);
    };
    EXPECT_EQ(ClipboardText(Rows(), pump),
              QStringLiteral("C:\\Data\\a.txt         \t3/4/2021 10:15:00 AM\r\n"
                             "C:\\Data\\Reports\\q1.doc\t12/31/2020\r\n"));
    EXPECT_EQ(Rows().Text(1), kExamplePaths[1]);
}

TEST_F(AlignedTextTest, RowsRemovedDuringTheSaveLeaveTheOldFileAndOneReportOfTheReadingStep)
{
    FillRows({QStringLiteral("/a"), QStringLiteral("/b"), QStringLiteral("/c")});
    const QString path = dir.CreateFile(QStringLiteral("old.txt"), "old content");
    // Points 1 to 3 are the widths pass; clear at the first row written.
    const int start = pump.points;
    pump.hook = [&](int point) {
        if (point == start + 4)
            Rows().Clear();
    };
    EXPECT_FALSE(SaveListviewProperlySpaced(Rows(), path, posixFileSystem, pump, dialogs, nullptr));
    EXPECT_EQ(Contents(path), QByteArray("old content"));
    ASSERT_EQ(dialogs.Warnings().size(), 1);
    EXPECT_TRUE(dialogs.Warnings()[0].contains(QStringLiteral("at line 162"))) << qPrintable(dialogs.Warnings()[0]);
}
}  // namespace
