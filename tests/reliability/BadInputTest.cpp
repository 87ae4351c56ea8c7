#include "tests/reliability/FaultFixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QUrl>

// Odd names found by a search go through the copy and the trash intact: the
// clipboard keeps one line per row, and a file the trash cannot record (a
// line break in its path, a name too long for its record) stays in place,
// named in the box, never half in the trash and never waited on.
namespace {

const QStringList kOddNames = {
    QStringLiteral("line\nbreak.txt"),
    QStringLiteral("carriage\rreturn.txt"),
    QStringLiteral("tab\tand\x01" "control.txt"),
    QStringLiteral("  leading and trailing  "),
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
        // 255 bytes: the longest name a folder takes, too long for the trash's
        // record of it ("<name>.trashinfo").
        longName = runDir->CreateFile(QStringLiteral("tree/") + QString(255, QLatin1Char('n')), "long");
        SearchTree();
    }
    void TearDown() override
    {
        FaultFixture::TearDown();
        EmptyTrash();
    }

    // The trash records of every file now in the trash, by their recorded path.
    static QList<QByteArray> TrashRecords()
    {
        QList<QByteArray> records;
        const QString info = QFileInfo(TrashFiles()).path() + QStringLiteral("/info");
        for (const QFileInfo& file : QDir(info).entryInfoList(QDir::Files))
            records << Contents(file.filePath());
        return records;
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

TEST_F(BadInputTest, TrashTakesOddNamesWhole_AndLeavesInPlaceWhatItCannotRecord)
{
    const std::multiset<QByteArray> before = AllContent();
    Rows().SetAllChecked(true);
    dialogs.answers.push_back(true);
    form->PushButton5_Click();

    // Nothing lost, nothing doubled, nothing half-written left.
    EXPECT_EQ(AllContent(), before);
    EXPECT_EQ(Leftovers(), QStringList());

    // Each odd name went, with a record of three lines that names it again exactly.
    const QList<QByteArray> records = TrashRecords();
    QStringList recordedPaths;
    for (const QByteArray& record : records) {
        const QList<QByteArray> lines = record.trimmed().split('\n');
        ASSERT_EQ(lines.size(), 3) << record.constData();
        ASSERT_TRUE(lines[1].startsWith("Path=")) << record.constData();
        recordedPaths << QUrl::fromPercentEncoding(lines[1].mid(5));
    }
    // A line break cannot be written into a record: such a file stays, named in the box.
    for (const QString& path : std::as_const(paths)) {
        const bool breaksLine = path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r'));
        EXPECT_EQ(QFile::exists(path), breaksLine) << qPrintable(path);
        if (breaksLine) {
            EXPECT_TRUE(RowTexts().contains(path));
            ASSERT_EQ(dialogs.Messages().size(), 1);
            EXPECT_TRUE(dialogs.Messages()[0].contains(path)) << qPrintable(dialogs.Messages()[0]);
            continue;
        }
        EXPECT_EQ(recordedPaths.count(path), 1) << qPrintable(path) << "\n" << qPrintable(recordedPaths.join(u'|'));
    }

    // The longest name cannot be recorded either: it stays, still checked.
    EXPECT_TRUE(QFile::exists(longName));
    EXPECT_TRUE(RowTexts().contains(longName));
    EXPECT_TRUE(dialogs.Messages().value(0).contains(longName));
    EXPECT_EQ(Rows().Count(), 3);
    for (int row = 1; row <= Rows().Count(); ++row)
        EXPECT_TRUE(Rows().Checked(row));

    // The program goes on: the next search finds what stayed.
    SearchTree();
    EXPECT_EQ(Rows().Count(), 3);
}

}  // namespace
