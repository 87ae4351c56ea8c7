#include "tests/reliability/FaultFixture.h"
#include "tests/search/HookedFileSystem.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <cstdlib>

#include <tuple>

// The window closed at a sampled event point of each long command: the
// command ends there (the trash finishes the file in hand, the move abandons
// its copy), the window closes, and no file is lost or left half-written.
namespace {
enum class Command { SearchWalk, SearchListing, Save, Copy, Recycle, Move };
// The second point of the move lies inside the large file's copy.
enum class Sample { First, Second, Middle, Last };

const QByteArray kOldList = "old list\r\n";
const QString kClipboardBefore = QStringLiteral("on the clipboard before");
constexpr int kManyRows = 2400;
constexpr qint64 kLargeFile = 3 * 1024 * 1024 + 5;  // crosses the copy's 1 MB chunks

class ClosingTest : public FaultFixture, public testing::WithParamInterface<std::tuple<Command, Sample>> {
protected:
    void SetUp() override
    {
        MakeForm(&counting);
        form->DTPicker1->setDate(QDate(2000, 1, 1));
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    Command TheCommand() const { return std::get<0>(GetParam()); }

    // A fresh tree and list for one run; the search walks a few thousand
    // files (it changes none, so its tree serves both runs), the save and the
    // copy write a few thousand rows.
    void Prepare()
    {
        const bool search = TheCommand() == Command::SearchWalk || TheCommand() == Command::SearchListing;
        if (!search || !runDir)
            MakeTree(search ? kManyRows / 3 : 4);
        EmptyTrash();
        Rows().Clear();
        QStringList paths = files;
        if (TheCommand() == Command::Save || TheCommand() == Command::Copy) {
            for (int i = 0; i < kManyRows; ++i)
                paths << QStringLiteral("/data/folder %1/file %2.txt").arg(i % 97).arg(i);
        }
        if (TheCommand() == Command::Move)
            paths.prepend(runDir->CreateFile(QStringLiteral("tree/a/large.bin"), QByteArray(kLargeFile, 'L')));
        FillRows(paths);
        Rows().SetAllChecked(true);
        listed = paths;
        listPath = runDir->CreateFile(QStringLiteral("lists/list.txt"), kOldList);
        QGuiApplication::clipboard()->setText(kClipboardBefore);
        dialogs.shown.clear();
        dialogs.answers = {true};
        dialogs.saveNames = {listPath};
        dialogs.folders = {Target()};
        before = AllContent();
        pump.points = 0;
        walkedFolders = 0;
        // The walk counts every call; the other commands the calls that change files.
        counting.FailAt(0, 0, TheCommand() == Command::SearchWalk ? FaultyFileSystem::Calls::All
                                                                   : FaultyFileSystem::Calls::Changing);
    }

    void RunCommand()
    {
        switch (TheCommand()) {
        case Command::SearchWalk:
        case Command::SearchListing: SearchTree(); break;
        case Command::Save: form->PushButton2_Click(); break;
        case Command::Copy: form->PushButton4_Click(); break;
        case Command::Recycle: form->PushButton5_Click(); break;
        case Command::Move: form->PushButton11_Click(); break;
        }
    }

    int SampledPoint(int count) const
    {
        switch (std::get<1>(GetParam())) {
        case Sample::First: return 1;
        case Sample::Second: return 2;
        case Sample::Middle: return (count + 1) / 2;
        case Sample::Last: break;
        }
        return count;
    }

    void Close()
    {
        callsAtClose = counting.CallCount();
        boxesAtClose = dialogs.shown.size();
        form->close();
        sinceClose.start();
    }

    HookedFileSystem hooked;
    FaultyFileSystem counting{hooked};
    QString listPath;
    QStringList listed;
    std::multiset<QByteArray> before;
    std::atomic<int> walkedFolders{0};
    int callsAtClose = -1;
    size_t boxesAtClose = 0;
    QElapsedTimer sinceClose;
};

TEST_P(ClosingTest, TheCommandEndsAtItsNextPointAndTheWindowClosesWithNothingLost)
{
    // A run to the end counts the points (or, for the walk, the folders listed).
    Prepare();
    hooked.beforeListFiles = [&](const QString&) { ++walkedFolders; };
    RunCommand();
    const int count = TheCommand() == Command::SearchWalk ? walkedFolders.load() : pump.points;
    ASSERT_GT(count, 0);
    const int closeAt = SampledPoint(count);

    Prepare();
    if (TheCommand() == Command::SearchWalk) {
        // Closed from the walk's thread, as a click while it lists a folder.
        hooked.beforeListFiles = [&](const QString&) {
            if (++walkedFolders == closeAt)
                QMetaObject::invokeMethod(form.get(), [&] { Close(); }, Qt::BlockingQueuedConnection);
        };
    } else {
        hooked.beforeListFiles = nullptr;
        // The trash refuses the first file, so the command has a failure to tell.
        if (TheCommand() == Command::Recycle)
            counting.FailAt(1, EACCES, FaultyFileSystem::Calls::Changing);
        pump.hook = [&](int point) {
            if (point == closeAt)
                Close();
        };
    }
    RunCommand();
    ASSERT_GE(callsAtClose, 0) << "the close never came";
    EXPECT_LT(sinceClose.elapsed(), 1000);
    const int callsAfterClose = counting.CallCount() - callsAtClose;
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(AllContent(), before) << "a file was lost or copied twice";
    EXPECT_EQ(Leftovers(), QStringList());
    EXPECT_EQ(dialogs.shown.size(), boxesAtClose) << "a box was shown after the close";

    switch (TheCommand()) {
    case Command::SearchWalk:
        EXPECT_LE(callsAfterClose, 2) << "the walk went on after the close";
        break;
    case Command::SearchListing:
        EXPECT_LT(Rows().Count(), files.size()) << "the listing went on after the close";
        break;
    case Command::Save:
        EXPECT_LE(callsAfterClose, 1) << "the save went on writing after the close";
        EXPECT_TRUE(Contents(listPath) == kOldList) << "a save cut short replaced the old list";
        EXPECT_EQ(QDir(QFileInfo(listPath).path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("list.txt")});
        break;
    case Command::Copy:
        EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), kClipboardBefore.toStdString())
            << "a copy cut short reached the clipboard";
        break;
    case Command::Recycle:
    case Command::Move: {
        // At most the file in hand is finished after the close; a row goes with its file.
        EXPECT_LE(callsAfterClose, 1);
        const QStringList rows = RowTexts();
        for (const QString& path : listed)
            EXPECT_EQ(QFile::exists(path), rows.contains(path)) << path.toStdString();
        if (TheCommand() == Command::Move && std::get<1>(GetParam()) == Sample::Second) {
            EXPECT_TRUE(QFile::exists(listed[0])) << "the copy in hand was not abandoned";
            EXPECT_FALSE(QFile::exists(Target() + QStringLiteral("/large.bin")));
            EXPECT_EQ(rows.size(), listed.size()) << "a file was moved after the close";
        }
        break;
    }
    }
}

std::string RunName(const testing::TestParamInfo<std::tuple<Command, Sample>>& info)
{
    constexpr const char* kCommands[] = {"SearchWalk", "SearchListing", "Save", "Copy", "Recycle", "Move"};
    constexpr const char* kSamples[] = {"First", "Second", "Middle", "Last"};
    return std::string(kCommands[static_cast<int>(std::get<0>(info.param))]) + "At"
        + kSamples[static_cast<int>(std::get<1>(info.param))] + "Point";
}

// A mount that stops answering holds the walk's call, not the program's end.
class StalledMountTest : public FaultFixture {
protected:
    void SetUp() override { MakeForm(&hooked); }
    HookedFileSystem hooked;
};

TEST_F(StalledMountTest, ClosingDuringAStalledWalkEndsTheProgramWithinAboutASecond)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    MakeTree();
    const auto closeWhileStalled = [&] {
        hooked.beforeListFiles = [&](const QString&) {
            QMetaObject::invokeMethod(form.get(), [&] { form->close(); });
            QThread::sleep(10);
        };
        form->show();
        QTimer::singleShot(0, form.get(), [&] { SearchTree(); });
        QApplication::exec();
        std::_Exit(1);  // the event loop ended, the process did not
    };
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_EXIT(closeWhileStalled(), testing::ExitedWithCode(0), "");
    // Starting the test program again takes part of it.
    EXPECT_LT(elapsed.elapsed(), 5000);
}

INSTANTIATE_TEST_SUITE_P(Closing, ClosingTest,
                         testing::Combine(testing::Values(Command::SearchWalk, Command::SearchListing, Command::Save,
                                                          Command::Copy, Command::Recycle, Command::Move),
                                          testing::Values(Sample::First, Sample::Second, Sample::Middle,
                                                          Sample::Last)),
                         RunName);
}  // namespace
