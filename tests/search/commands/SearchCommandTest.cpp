#include "app/core/ApplicationError.h"
#include "app/core/MousePointer.h"
#include "app/core/ProductTexts.h"
#include "app/core/Timestamp.h"
#include "app/core/WorkThreads.h"
#include "app/window/SearchControlsView.h"
#include "search/FoundFileList.h"
#include "search/ListMatchingFiles.h"
#include "search/SearchState.h"
#include "tests/search/commands/SearchFixture.h"
#include "tests/support/TimeZoneScope.h"

#include <QAbstractItemModelTester>
#include <QElapsedTimer>
#include <QThread>

#include <atomic>

#include <unistd.h>

namespace {
const QString kAfter2000 = QStringLiteral("2000-01-01");
const char kRemoved[] = " will be removed because it is a subfolder of another folder that you added.";

class SearchCommandTest : public SearchFixture {
protected:
    void SetUp() override
    {
        SearchFixture::SetUp();
        form->DTPicker1->setDate(QDate(2000, 1, 1));
    }
    void ExpectIdle()
    {
        EXPECT_EQ(form->PushButton1->text(), QStringLiteral("Start Searching"));
        EXPECT_EQ(form->MousePointer(), MousePointer::Default);
        EXPECT_EQ(form->windowTitle(), QString::fromUtf8(Product::kName));
    }
};

TEST_F(SearchCommandTest, EmptyFolderListOnlyTellsTheUser)
{
    Search();
    EXPECT_EQ(dialogs.Messages(), QStringList({"No folders added."}));
    EXPECT_EQ(form->PushButton1->text(), QStringLiteral("Start Searching"));
    EXPECT_EQ(Columns(), QStringList({"Results"}));
}

TEST_F(SearchCommandTest, ListsEveryRegularFileBelowTheFolder)
{
    QAbstractItemModelTester tester(&form->ResultRows());
    const qint64 time = Utc(2021, 8, 31);
    File(QStringLiteral("top/a.txt"), time);
    File(QStringLiteral("top/~$budget.xlsx"), time);
    File(QStringLiteral("top/.hidden"), time);
    File(QStringLiteral("top/.dot/in.txt"), time);
    File(QStringLiteral("top/sub/deeper/b.txt"), time);
    File(QStringLiteral("elsewhere/c.txt"), time);
    ASSERT_EQ(symlink(QFile::encodeName(dir.Path(QStringLiteral("elsewhere"))).constData(),
                      QFile::encodeName(dir.Path(QStringLiteral("top/link"))).constData()), 0);
    ASSERT_EQ(symlink(QFile::encodeName(dir.Path(QStringLiteral("top/a.txt"))).constData(),
                      QFile::encodeName(dir.Path(QStringLiteral("top/a link.txt"))).constData()), 0);
    AddFolderRow(Row(QStringLiteral("top")));

    Search();
    EXPECT_EQ(ResultPaths(), std::set<QString>({dir.Path(QStringLiteral("top/a.txt")),
                                                dir.Path(QStringLiteral("top/.hidden")),
                                                dir.Path(QStringLiteral("top/.dot/in.txt")),
                                                dir.Path(QStringLiteral("top/sub/deeper/b.txt"))}));
    EXPECT_EQ(Columns(), QStringList({"File(s) Found", "Date Modified"}));
    EXPECT_EQ(form->ResultRows().ColumnWidthTwips(1), 5000);
    EXPECT_EQ(form->ResultRows().ColumnWidthTwips(2), 2000);
    EXPECT_EQ(form->ResultRows().SubItem(1, 1), TimestampText(time));
    EXPECT_FALSE(form->ResultRows().Checked(1));
    EXPECT_TRUE(dialogs.Warnings().isEmpty());
    ExpectIdle();
}

TEST_F(SearchCommandTest, RowsKeepTheWalkOrderWhicheverFolderIsReadFirst)
{
    for (int i = 0; i < 12; ++i) {
        for (int j = 0; j < 3; ++j)
            File(QStringLiteral("t/%1/f%1-%2").arg(i).arg(j), Utc(2021, 1, 1));
        File(QStringLiteral("t/%1/deeper/g%1").arg(i), Utc(2021, 1, 1));
    }
    // A large folder, whose files' statuses are read in batches by several readers.
    for (int j = 0; j < 300; ++j)
        File(QStringLiteral("t/5/many%1").arg(j), Utc(2021, 1, 1));
    AddFolderRow(Row(QStringLiteral("t")));
    const auto rows = [&] {
        Search();
        QStringList texts;
        for (int i = 1; i <= form->ResultRows().Count(); ++i)
            texts << form->ResultRows().Text(i);
        return texts;
    };
    const QStringList inTurn = rows();
    ASSERT_EQ(inTurn.size(), 348);
    // Some folders are slow to read, so the others (deeper ones too) are read before them.
    fileSystem.beforeListFiles = [](const QString& folder) {
        if (folder.endsWith(QLatin1Char('1')) || folder.endsWith(QLatin1Char('4'))
            || folder.endsWith(QLatin1String("7/deeper")))
            QThread::msleep(30);
    };
    EXPECT_EQ(rows(), inTurn);
    // And some of the large folder's files are slow to look at, so later ones are read first.
    fileSystem.beforeStatus = [](std::string_view file) {
        if (file.substr(0, 5) == "many7")
            QThread::msleep(30);
    };
    EXPECT_EQ(rows(), inTurn);
}

TEST_F(SearchCommandTest, StopEndsTheReadersOfALargeFolderAtOnce)
{
    for (int j = 0; j < 2000; ++j)
        File(QStringLiteral("t/many%1").arg(j), Utc(2021, 1, 1));
    AddFolderRow(Row(QStringLiteral("t")));
    // A share answering the statuses of one folder one at a time, each in
    // 16 ms, so that a batch of them takes long; Stop clicked once reading is
    // under way.
    QElapsedTimer sinceStop;
    std::atomic<int> statuses{0};
    fileSystem.beforeStatus = [&](std::string_view) {
        if (++statuses == 3)
            QMetaObject::invokeMethod(form.get(), [&] {
                sinceStop.start();
                form->PushButton1->click();
            });
        QThread::msleep(16);
    };
    Search();
    ASSERT_TRUE(sinceStop.isValid());
    while (WorkThreads::Running() > 0 && sinceStop.elapsed() < 5000)
        QThread::msleep(2);
    EXPECT_LT(sinceStop.elapsed(), 200);
    EXPECT_LT(statuses.load(), 2000 / 16);
    ExpectIdle();
}

TEST_F(SearchCommandTest, RootFolderFilesHaveOneSeparator)
{
    FoundFileList found;
    found.BeginFolder("");
    found.Add("etc-file", 5);
    found.BeginFolder("/home/me");
    found.BeginFolder("/home/you");
    found.Add("n\xc3\xa4me \xe2\x82\xac\xf0\x9f\x98\x80", kNoTime);
    ASSERT_EQ(found.Count(), 2);
    EXPECT_EQ(found.Path(0), QStringLiteral("/etc-file"));
    EXPECT_EQ(found.Path(1), QStringLiteral("/home/you/n\u00e4me \u20ac\U0001F600"));
    EXPECT_EQ(found.Time(1), kNoTime);
}

TEST(FoundFileListTest, KeepsEveryFileAcrossItsBlocks)
{
    // Past the first block of entries (2 MiB) and through many blocks of names.
    constexpr int kFiles = 100000;
    FoundFileList found;
    const auto folders = std::make_shared<Utf8TextStore>();
    found.KeepAlive(folders);
    const std::string longName(200, 'n');
    for (int i = 0; i < kFiles; ++i) {
        if (i % 1000 == 0)
            found.BeginFolder(folders->Append("/f" + std::to_string(i / 1000)));
        found.Add(longName + std::to_string(i), i);
    }
    ASSERT_EQ(found.Count(), kFiles);
    for (int i = 0; i < kFiles; ++i) {
        ASSERT_EQ(found.Time(i), i);
        ASSERT_EQ(found.Path(i), QStringLiteral("/f%1/").arg(i / 1000) + QString::fromStdString(longName)
                                     + QString::number(i));
    }
    found.Clear();
    EXPECT_EQ(found.Count(), 0);
}

TEST_F(SearchCommandTest, NestedFolderRowsAreRemovedWithAMessage)
{
    File(QStringLiteral("A/B/C/f.txt"), Utc(2021, 1, 1));
    const QString a = Row(QStringLiteral("A")), b = Row(QStringLiteral("A/B")), c = Row(QStringLiteral("A/B/C"));

    // A row inside a later row goes; each row is flagged once; removal runs from the last flagged back.
    for (const QString& row : {c, b, a})
        AddFolderRow(row);
    Search();
    EXPECT_EQ(dialogs.Messages(), QStringList({b + kRemoved, c + kRemoved}));
    EXPECT_EQ(FolderTexts(), QStringList({a}));
    EXPECT_EQ(form->ResultRows().Count(), 1);

    // Rows are never tested against the rows above them: a parent first keeps both, and files appear twice.
    dialogs.shown.clear();
    AddFolderRow(c);
    Search();
    EXPECT_TRUE(dialogs.Messages().isEmpty());
    EXPECT_EQ(form->ResultRows().Count(), 2);

    // Of two equal rows the first goes; letter case counts.
    form->FolderRows().Clear();
    for (const QString& row : {a, a, c.toUpper()})
        AddFolderRow(row);
    Search();
    EXPECT_EQ(dialogs.Messages(), QStringList({a + kRemoved}));
    EXPECT_EQ(FolderTexts(), QStringList({a, c.toUpper()}));
}

TEST_F(SearchCommandTest, AFolderIsNestedOnlyWhenItBeginsWithTheOther)
{
    // "/me/data/" occurs inside ".../home/me/data/" but is no parent of it.
    File(QStringLiteral("home/me/data/f.txt"), Utc(2021, 1, 1));
    const QString inner = Row(QStringLiteral("home/me/data"));
    AddFolderRow(inner);
    AddFolderRow(QStringLiteral("/me/data/"));
    Search();
    EXPECT_TRUE(dialogs.Messages().isEmpty());
    EXPECT_EQ(FolderTexts().size(), 2);
    EXPECT_EQ(ResultPaths(), std::set<QString>({dir.Path(QStringLiteral("home/me/data/f.txt"))}));
}

TEST_F(SearchCommandTest, EachRangeModeAtItsDayBoundaries)
{
    const TimeZoneScope zone("Etc/GMT-2");
    // Local times (UTC+2) around 5 March 2024.
    const QString before = File(QStringLiteral("t/4 Mar 23:59:59"), Utc(2024, 3, 4, 21, 59, 59));
    const QString first = File(QStringLiteral("t/5 Mar 00:00:00"), Utc(2024, 3, 4, 22, 0, 0));
    const QString last = File(QStringLiteral("t/5 Mar 23:59:59"), Utc(2024, 3, 5, 21, 59, 59));
    const QString after = File(QStringLiteral("t/6 Mar 00:00:01"), Utc(2024, 3, 5, 22, 0, 1));
    AddFolderRow(Row(QStringLiteral("t")));
    const QDate march5(2024, 3, 5);

    form->Option7->click();
    form->DTPicker1->setDate(march5);
    Search();
    EXPECT_EQ(ResultPaths(), std::set<QString>({after}));

    form->Option6->click();
    form->DTPicker2->setDate(march5);
    Search();
    EXPECT_EQ(ResultPaths(), std::set<QString>({before}));

    form->Option5->click();
    form->DTPicker3->setDate(march5);
    Search();
    EXPECT_EQ(ResultPaths(), std::set<QString>({first, last}));

    form->Option4->click();
    form->DTPicker4->setDate(march5);
    form->DTPicker5->setDate(march5.addDays(1));
    Search();
    EXPECT_EQ(ResultPaths(), std::set<QString>({first, last, after}));
    form->DTPicker4->setDate(march5.addDays(1));
    form->DTPicker5->setDate(march5);
    Search();
    EXPECT_TRUE(ResultPaths().empty());
    EXPECT_EQ(Columns(), QStringList({"File(s) Found", "Date Modified"}));
}

TEST_F(SearchCommandTest, UnreadableTimesCountAsTheEarliestDay)
{
    fileSystem.noBirthTimes = true;
    const QString path = File(QStringLiteral("t/f.txt"), Utc(2024, 3, 5));
    AddFolderRow(Row(QStringLiteral("t")));
    form->Option2->setChecked(true);

    form->Option6->click();
    form->DTPicker2->setDate(QDate(1900, 1, 1));
    Search();
    EXPECT_EQ(ResultPaths(), std::set<QString>({path}));
    EXPECT_EQ(form->ResultRows().SubItem(1, 1), QString());
    EXPECT_EQ(Columns(), QStringList({"File(s) Found", "Date Created"}));

    for (QRadioButton* mode : {form->Option7, form->Option5, form->Option4}) {
        mode->click();
        Search();
        EXPECT_TRUE(ResultPaths().empty());
    }
}

TEST_F(SearchCommandTest, PickerOptionsEnableTheirPickers)
{
    const auto enabled = [&] {
        QString states;
        for (QDateEdit* picker : {form->DTPicker1, form->DTPicker2, form->DTPicker3, form->DTPicker4, form->DTPicker5})
            states += picker->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return states;
    };
    EXPECT_EQ(enabled(), QStringLiteral("11111"));
    form->Option4->click();
    EXPECT_EQ(enabled(), QStringLiteral("00011"));
    form->Option5->click();
    EXPECT_EQ(enabled(), QStringLiteral("00100"));
    form->Option6->click();
    EXPECT_EQ(enabled(), QStringLiteral("01000"));
    form->Option7->click();
    EXPECT_EQ(enabled(), QStringLiteral("10000"));
}

TEST_F(SearchCommandTest, DateTypeChangedDuringTheWalkAppliesToTheFilesThatFollow)
{
    const qint64 modified = Utc(2020, 1, 1), accessed = Utc(2021, 6, 6);
    const QString early = File(QStringLiteral("first/f.txt"), modified, accessed);
    File(QStringLiteral("second/g.txt"), modified, accessed);
    AddFolderRow(Row(QStringLiteral("first")));
    AddFolderRow(Row(QStringLiteral("second")));
    fileSystem.beforeListFiles = [&](const QString& folder) {
        if (folder.endsWith(QStringLiteral("second")))
            OnWindowThread([&] { form->Option3->setChecked(true); });
    };
    form->Option5->click();
    form->DTPicker3->setDate(QDate(2020, 1, 1));
    Search();
    EXPECT_EQ(ResultPaths(), std::set<QString>({early}));
    EXPECT_EQ(Columns(), QStringList({"File(s) Found", "Date Accessed"}));
}

TEST_F(SearchCommandTest, StopDuringTheWalkKeepsThePreviousResults)
{
    File(QStringLiteral("t/f.txt"), Utc(2021, 1, 1));
    AddFolderRow(Row(QStringLiteral("t")));
    Search();
    ASSERT_EQ(form->ResultRows().Count(), 1);

    form->Option3->setChecked(true);
    QString captionSeen;
    fileSystem.beforeListFiles = [&](const QString&) {
        OnWindowThread([&] {
            captionSeen = form->PushButton1->text();
            form->PushButton1->click();
            EXPECT_EQ(form->PushButton1->text(), QStringLiteral("Start Searching"));
        });
    };
    Search();
    EXPECT_EQ(captionSeen, QStringLiteral("Stop"));
    EXPECT_EQ(form->ResultRows().Count(), 1);
    EXPECT_EQ(Columns(), QStringList({"File(s) Found", "Date Modified"}));
    ExpectIdle();

    // The next search runs normally.
    fileSystem.beforeListFiles = nullptr;
    Search();
    EXPECT_EQ(Columns(), QStringList({"File(s) Found", "Date Accessed"}));
    EXPECT_EQ(form->ResultRows().Count(), 1);
}

TEST_F(SearchCommandTest, StopDuringTheRemovalEndsBeforeTheWalk)
{
    File(QStringLiteral("A/B/C/f.txt"), Utc(2021, 1, 1));
    for (const QString& row : {Row(QStringLiteral("A/B/C")), Row(QStringLiteral("A/B")), Row(QStringLiteral("A"))})
        AddFolderRow(row);
    pump.hook = [&](int point) {
        if (point == 1)
            form->PushButton1->click();
    };
    Search();
    EXPECT_EQ(dialogs.Messages().size(), 1);
    EXPECT_EQ(FolderTexts(), QStringList({Row(QStringLiteral("A/B/C")), Row(QStringLiteral("A"))}));
    EXPECT_EQ(Columns(), QStringList({"Results"}));
    ExpectIdle();
}

TEST_F(SearchCommandTest, StopDuringTheOffsetPassLeavesTheListEmptyUnderNewHeaders)
{
    for (int i = 0; i < 5; ++i)
        File(QStringLiteral("t/f%1.txt").arg(i), Utc(2021, 1, 1));
    AddFolderRow(Row(QStringLiteral("t")));
    pump.points = 0;
    Search();
    ASSERT_EQ(form->ResultRows().Count(), 5);
    // With few files each pass has one event point: the offset pass's is the one before the last.
    const int offsetPassPoint = pump.points - 1;

    form->Option2->setChecked(true);
    pump.points = 0;
    pump.hook = [&](int point) {
        if (point == offsetPassPoint)
            form->PushButton1->click();
    };
    Search();
    EXPECT_EQ(form->ResultRows().Count(), 0);
    EXPECT_EQ(Columns(), QStringList({"File(s) Found", "Date Created"}));
    EXPECT_EQ(form->MousePointer(), MousePointer::Default);
    EXPECT_EQ(form->PushButton1->text(), QStringLiteral("Start Searching"));
}

// The listing pass puts its rows in with one insertion: a Stop or a Clear at
// any of its event points leaves the list empty, never cut short.
TEST_F(SearchCommandTest, TheListingPassLeavesTheListEmptyOrComplete)
{
    QAbstractItemModelTester tester(&form->ResultRows());
    FoundFileList& found = form->Search().FoundFiles;
    constexpr int kFiles = 10000;
    found.BeginFolder("");
    found.Add("root-file", Utc(2021, 1, 1));
    found.BeginFolder("/d/\u00e4");
    for (int i = 1; i < kFiles; ++i)
        found.Add(i == 7 ? "old" : "f" + std::to_string(i), Utc(i == 7 ? 1999 : 2021, 1, 1));
    AddFolderRow(Row(QStringLiteral("t")));
    const auto listMatching = [&](int clickPoint, QPushButton* button) {
        pump.points = 0;
        pump.hook = [&](int point) {
            if (point == clickPoint)
                button->click();
        };
        // As while a search runs.
        form->PushButton1->setText(QStringLiteral("Stop"));
        form->Search().StopSearch = false;
        ListMatchingFiles(form->Search(), form->ResultRows(), SearchControlsView(*form), pump, *form,
                          form->Search().Generation);
        return pump.points;
    };

    const int points = listMatching(0, nullptr);
    RowList& rows = form->ResultRows();
    ASSERT_EQ(rows.Count(), kFiles - 1);
    EXPECT_EQ(rows.Text(kFiles - 1), QStringLiteral("/d/\u00e4/f9999"));

    // The listing pass's event points are the last three: at files 0, 4096 and 8192.
    for (QPushButton* button : {form->PushButton1, form->PushButton6}) {
        for (int point = points - 2; point <= points; ++point) {
            listMatching(point, button);
            EXPECT_EQ(rows.Count(), 0) << button->text().toStdString() << " at point " << point;
            EXPECT_EQ(form->MousePointer(), MousePointer::Default);
        }
    }
}

TEST_F(SearchCommandTest, AListingFailureIsShownAndTheWalkGoesOn)
{
    File(QStringLiteral("t/bad/f.txt"), Utc(2021, 1, 1));
    const QString good = File(QStringLiteral("t/good/g.txt"), Utc(2021, 1, 1));
    AddFolderRow(Row(QStringLiteral("t")));
    fileSystem.failingFolder = dir.Path(QStringLiteral("t/bad"));
    fileSystem.failingNumber = ErrorNumber::DeviceIoError;
    Search();
    EXPECT_EQ(dialogs.Warnings(),
              QStringList({ApplicationErrorText(QStringLiteral("Input/output error"),
                                                QLatin1String(LocationTag::kSearch), 188)}));
    EXPECT_EQ(ResultPaths(), std::set<QString>({good}));

    // A folder that is gone when its files are listed yields nothing, silently.
    dialogs.shown.clear();
    fileSystem.failingNumber = ErrorNumber::PathNotFound;
    Search();
    EXPECT_TRUE(dialogs.Warnings().isEmpty());
    EXPECT_EQ(ResultPaths(), std::set<QString>({good}));
}

TEST_F(SearchCommandTest, CaptionShowsProgressWhileTheWalkRuns)
{
    File(QStringLiteral("t/one/f.txt"), Utc(2021, 1, 1));
    File(QStringLiteral("t/two/g.txt"), Utc(2021, 1, 1));
    AddFolderRow(Row(QStringLiteral("t")));
    QString caption;
    fileSystem.beforeListFiles = [&](const QString& folder) {
        if (!folder.endsWith(QStringLiteral("two")))
            return;
        // Hold the walk here until the progress timer has shown it (a few seconds at most).
        for (int wait = 0; wait < 100 && !caption.contains(QStringLiteral(" files - ")); ++wait) {
            QThread::msleep(50);
            OnWindowThread([&] { caption = form->windowTitle(); });
        }
    };
    Search();
    EXPECT_TRUE(caption.startsWith(QString::fromUtf8(Product::kName) + QStringLiteral(" - "))) << caption.toStdString();
    EXPECT_TRUE(caption.contains(QStringLiteral(" files - ") + dir.Path(QStringLiteral("t")))) << caption.toStdString();
    ExpectIdle();
}
TEST_F(SearchCommandTest, ClosingTheWindowEndsTheRun)
{
    File(QStringLiteral("t/f.txt"), Utc(2021, 1, 1));
    AddFolderRow(Row(QStringLiteral("t")));
    fileSystem.beforeListFiles = [&](const QString&) { OnWindowThread([&] { form->close(); }); };
    Search();
    EXPECT_TRUE(pump.Closing());
    EXPECT_EQ(Columns(), QStringList({"Results"}));
    EXPECT_EQ(form->MousePointer(), MousePointer::Default);
}

TEST_F(SearchCommandTest, ASearchStartedInsideAnotherReplacesIt)
{
    for (int i = 0; i < 4; ++i)
        File(QStringLiteral("t/f%1.txt").arg(i), Utc(2021, 1, 1));
    AddFolderRow(Row(QStringLiteral("t")));
    Search();
    ASSERT_EQ(form->ResultRows().Count(), 4);

    // Stop and Start clicked at one event point of the offset pass: the
    // inner run completes, the outer one ends without touching its results.
    bool clicked = false;
    pump.hook = [&](int) {
        if (clicked)
            return;
        clicked = true;
        form->PushButton1->click();
        form->Option3->setChecked(true);
        form->PushButton1->click();
    };
    Search();
    EXPECT_EQ(form->ResultRows().Count(), 4);
    EXPECT_EQ(Columns(), QStringList({"File(s) Found", "Date Accessed"}));
    ExpectIdle();
}
}  // namespace
