#include "app/core/MousePointer.h"
#include "app/core/ProductTexts.h"
#include "tests/reliability/ClickDuringCommands.h"
#include "tests/reliability/FaultFixture.h"
#include "tests/search/HookedFileSystem.h"

#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QDirIterator>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTest>

#include <atomic>
#include <optional>
#include <thread>
#include <tuple>

// While each long command runs, a seeded random user clicks every button,
// double-clicks and presses keys in both lists, changes the date type, the
// range and its dates, sorts the results and stops and restarts the search:
// at sampled event points and, for the search, while its worker walks. The
// nested commands answer their dialogs from queues the test sets (saves into
// a scratch folder outside the tree, moves into the target or the tree). Afterwards
// no file is lost, none is left half-written, both lists kept their model
// contract, the window is at rest and every command works again.
namespace {
enum class Command { Search, Save, Copy, Recycle, Move };

// Chance in percent of acting at a sampled point: the search has fewer points.
constexpr int kActPercent = 6;
constexpr int kSearchActPercent = 20;
constexpr int kMaxActions = 14;  // per run, so nested commands stay bounded
constexpr int kTopFolders = 4;
constexpr int kSubFolders = 3;
constexpr int kLeafFolders = 2;
constexpr int kFilesPerFolder = 6;
constexpr qint64 kLargeFile = 2 * 1024 * 1024 + 3;  // a copy with more than one chunk
const QString kStartCaption = QStringLiteral("Start Searching");

// One line per entry, so a failure prints readable texts.
std::string Lines(const QStringList& texts)
{
    return texts.join(QLatin1Char('\n')).toStdString();
}

// Collects the reports of the model testers attached to both lists.
QStringList modelTestReports;
QtMessageHandler previousHandler = nullptr;

void CollectModelTestReports(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (context.category && QLatin1String(context.category) == QLatin1String("qt.modeltest"))
        modelTestReports << text;
    else if (previousHandler)
        previousHandler(type, context, text);
}

class ClickDuringCommandsTest : public FaultFixture,
                                public testing::WithParamInterface<std::tuple<Command, unsigned>> {
protected:
    void SetUp() override
    {
        // The clicks land in the move's event points, which a rename has none of.
        hooked.renames = false;
        MakeForm(&hooked);
        form->DTPicker1->setDate(QDate(1990, 1, 1));
        modelTestReports.clear();
        previousHandler = qInstallMessageHandler(CollectModelTestReports);
        folderTester = std::make_unique<QAbstractItemModelTester>(
            &form->FolderRows(), QAbstractItemModelTester::FailureReportingMode::Warning);
        resultTester = std::make_unique<QAbstractItemModelTester>(
            &form->ResultRows(), QAbstractItemModelTester::FailureReportingMode::Warning);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        user.emplace(*form, dialogs);
        user->Seed(std::get<1>(GetParam()) * 16 + static_cast<unsigned>(TheCommand()));
        MakeNestedTree();
        EmptyTrash();
        pump.hook = [this](int) { MaybeAct(); };
        // A click while the worker walks: posted to the window's thread, never waited for.
        hooked.beforeListFiles = [this](const QString&) {
            if (!running.load())
                return;
            QMetaObject::invokeMethod(form.get(), [this] { MaybeAct(); }, Qt::QueuedConnection);
            // Gives the window's thread the time to act before this folder is read.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        };
    }

    void TearDown() override
    {
        running = false;
        hooked.beforeListFiles = nullptr;
        pump.hook = nullptr;
        folderTester.reset();
        resultTester.reset();
        // The window (and any walk still ending) goes before the file system it reads.
        user.reset();
        form.reset();
        BackgroundFileWork::WaitForAll();
        qInstallMessageHandler(previousHandler);
    }

    Command TheCommand() const { return std::get<0>(GetParam()); }

    // A few hundred files in nested folders, each with its own content and a
    // modification day between 2001 and 2024, so the ranges split them.
    void MakeNestedTree()
    {
        runDir = std::make_unique<TestDir>();
        files.clear();
        int number = 0;
        for (int top = 0; top < kTopFolders; ++top) {
            for (int sub = 0; sub <= kSubFolders; ++sub) {
                for (int leaf = 0; leaf <= (sub == 0 ? 0 : kLeafFolders); ++leaf) {
                    QString folder = QStringLiteral("tree/d%1").arg(top);
                    if (sub > 0)
                        folder += QStringLiteral("/s%1").arg(sub);
                    if (leaf > 0)
                        folder += QStringLiteral("/t%1").arg(leaf);
                    subFolders << runDir->Path(folder);
                    for (int f = 0; f < kFilesPerFolder; ++f, ++number) {
                        const QDateTime time(QDate(2001 + number % 24, 1 + number % 12, 1 + number % 28), QTime(12, 0));
                        files << runDir->CreateFile(folder + QStringLiteral("/f%1.txt").arg(number),
                                                    "file " + QByteArray::number(number), time);
                    }
                }
            }
        }
        files << runDir->CreateFile(QStringLiteral("tree/d0/large.bin"), QByteArray(kLargeFile, 'L'),
                                    QDateTime(QDate(2010, 6, 1), QTime(12, 0)));
        runDir->CreateFolder(QStringLiteral("target"));
        runDir->CreateFolder(QStringLiteral("scratch"));
    }
    QString Scratch(const QString& name) const { return runDir->Path(QStringLiteral("scratch/") + name); }


    // The answers the command under test reads: Yes, the move target, the list file.
    void OuterAnswers()
    {
        dialogs.answers = {true};
        dialogs.folders = {Target()};
        dialogs.saveNames = {Scratch(QStringLiteral("outer.txt"))};
    }
    void MaybeAct()
    {
        // At its own points the search, the save and the move show the
        // hourglass, whatever ran inside them before: it guards the folder list.
        const bool showsHourglass = TheCommand() == Command::Search || TheCommand() == Command::Save
            || TheCommand() == Command::Move;
        if (running.load() && !acting && showsHourglass && form->MousePointer() != MousePointer::Hourglass)
            pointsWithoutHourglass << user->Done().join(QStringLiteral(", "));
        const int percent = TheCommand() == Command::Search ? kSearchActPercent : kActPercent;
        if (!running.load() || acting || user->Done().size() >= kMaxActions || user->Draw(100) >= percent)
            return;
        acting = true;
        const QString subFolder = subFolders[user->Draw(static_cast<int>(subFolders.size()))];
        user->AnswerAtRandom({QString(), Target(), subFolder, subFolder},
                            {Scratch(QStringLiteral("outer.txt")),
                             Scratch(QStringLiteral("nested%1.txt").arg(user->Done().size()))});
        user->ActOnce();
        OuterAnswers();
        acting = false;
    }

    // Fills the result list with every file of the tree, a random third checked.
    void PrepareResults()
    {
        SearchTree();
        ASSERT_EQ(Rows().Count(), files.size());
        for (int r = 1; r <= Rows().Count(); ++r)
            Rows().SetChecked(r, user->Draw(3) == 0);
        Rows().SetChecked(1 + user->Draw(Rows().Count()), true);
    }

    void RunCommand()
    {
        OuterAnswers();
        running = true;
        switch (TheCommand()) {
        case Command::Search:
            // Two sub-folders before the tree itself: the search drops them first, at points of its own.
            form->FolderRows().Clear();
            for (const QString& folder : {subFolders[1], subFolders[kSubFolders + 2], TreeRoot()})
                form->FolderRows().Add(folder + QLatin1Char('/'));
            form->PushButton1_Click();
            break;
        case Command::Save: form->PushButton2_Click(); break;
        case Command::Copy: form->PushButton4_Click(); break;
        case Command::Recycle: form->PushButton5_Click(); break;
        case Command::Move: form->PushButton11_Click(); break;
        }
        running = false;
        // Posted clicks of the walk still pending are dropped now.
        QCoreApplication::processEvents();
    }

    // Every file of the tree, the move target and the trash, by path.
    TreeSnapshot AllFiles() const
    {
        TreeSnapshot all;
        for (const QString& root : {TreeRoot(), Target(), TrashFiles()}) {
            for (const auto& [path, checksum] : SnapshotTree(root))
                all[QFile::encodeName(root) + '/' + path] = checksum;
        }
        return all;
    }

    // The files whose content is missing afterwards, and those whose content
    // stands more often than before; empty when every file is there once.
    static QStringList LostOrDoubled(const TreeSnapshot& before, const TreeSnapshot& after)
    {
        std::map<QByteArray, int> balance;
        for (const auto& [path, checksum] : before)
            ++balance[checksum];
        for (const auto& [path, checksum] : after)
            --balance[checksum];
        QStringList found;
        for (const auto& [path, checksum] : before) {
            if (balance[checksum] > 0)
                found << QStringLiteral("lost ") + QFile::decodeName(path);
        }
        for (const auto& [path, checksum] : after) {
            if (balance[checksum] < 0)
                found << QStringLiteral("doubled ") + QFile::decodeName(path);
        }
        return found;
    }

    // Every regular file under the tree and the move target, as the search lists it.
    std::set<QString> FilesOnDisk() const
    {
        std::set<QString> found;
        for (const QString& root : {TreeRoot(), Target()}) {
            QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
            while (it.hasNext())
                found.insert(it.next());
        }
        return found;
    }

    // The commands clicked one after another at rest: add both folders,
    // search everything, save, copy, trash one new file and move another.
    void EveryCommandWorks()
    {
        const QString toTrash = runDir->CreateFile(QStringLiteral("tree/new/trash me.txt"), "trash me");
        const QString toMove = runDir->CreateFile(QStringLiteral("tree/new/move me.txt"), "move me");
        dialogs.shown.clear();
        form->PushButton9->click();
        ASSERT_EQ(form->FolderRows().Count(), 0);
        dialogs.folders = {TreeRoot(), Target()};
        form->PushButton3->click();
        form->PushButton3->click();
        form->Option1->click();
        form->Option7->click();
        form->DTPicker1->setDate(QDate(1990, 1, 1));
        ASSERT_TRUE(form->PushButton1->isEnabled());
        form->PushButton1->click();
        ASSERT_EQ(ResultSet(), FilesOnDisk()) << "a clean search does not find exactly the files on disk";
        EXPECT_EQ(Lines(dialogs.Warnings()), "");

        const QString listPath = Scratch(QStringLiteral("after.txt"));
        dialogs.saveNames = {listPath};
        form->PushButton2->click();
        EXPECT_EQ(Contents(listPath).count("\r\n"), Rows().Count() + 1);
        form->PushButton4->click();
        EXPECT_EQ(QGuiApplication::clipboard()->text().count(QStringLiteral("\r\n")), Rows().Count());

        CheckOnly(toTrash);
        dialogs.answers = {true};
        form->PushButton5->click();
        EXPECT_FALSE(QFile::exists(toTrash));
        EXPECT_FALSE(ResultSet().contains(toTrash));

        CheckOnly(toMove);
        const QString last = runDir->CreateFolder(QStringLiteral("last"));
        dialogs.folders = {last};
        form->PushButton11->click();
        EXPECT_TRUE(QFile::exists(last + QStringLiteral("/move me.txt")));
        EXPECT_FALSE(QFile::exists(toMove));
        EXPECT_FALSE(ResultSet().contains(toMove));
        EXPECT_EQ(dialogs.Messages().filter(QStringLiteral("Done.")).size(), 1);
        EXPECT_EQ(Lines(dialogs.Warnings()), "");
        EXPECT_EQ(form->MousePointer(), MousePointer::Default);
    }

    void CheckOnly(const QString& path)
    {
        Rows().SetAllChecked(false);
        const int row = static_cast<int>(RowTexts().indexOf(path)) + 1;
        ASSERT_GT(row, 0) << path.toStdString();
        Rows().SetChecked(row, true);
    }

    // Error boxes for a row that vanished meanwhile: only the save and the
    // copy tell those, as they read a list the user may change while they run.
    QStringList VanishedRowBoxes() const
    {
        QStringList boxes = dialogs.Warnings().filter(QStringLiteral("Index out of bounds"));
        boxes.removeIf([](const QString& text) {
            return text.contains(QLatin1String(LocationTag::kSaveListview))
                || text.contains(QLatin1String(LocationTag::kCopy));
        });
        return boxes;
    }

    // A copy that failed says so and not also that the results were copied.
    bool CopyFailureFollowedByCopiedMessage() const
    {
        for (size_t i = 0; i + 1 < dialogs.shown.size(); ++i) {
            if (dialogs.shown[i].kind == FakeDialogs::Kind::Warning
                && dialogs.shown[i].text.contains(QLatin1String(LocationTag::kCopy))
                && dialogs.shown[i + 1].text.startsWith(QStringLiteral("Results have been copied")))
                return true;
        }
        return false;
    }

    HookedFileSystem hooked;
    std::unique_ptr<QAbstractItemModelTester> folderTester;
    std::unique_ptr<QAbstractItemModelTester> resultTester;
    std::optional<RandomUser> user;
    QStringList subFolders;
    QStringList pointsWithoutHourglass;  // the actions done before each such point
    std::atomic<bool> running{false};
    bool acting = false;
};

TEST_P(ClickDuringCommandsTest, NothingIsLostTheListsHoldAndEveryCommandWorksAfterwards)
{
    if (TheCommand() != Command::Search)
        PrepareResults();
    const TreeSnapshot before = AllFiles();

    RunCommand();
    SCOPED_TRACE(("clicked: " + user->Done().join(QStringLiteral(", "))).toStdString());
    EXPECT_FALSE(user->Done().isEmpty()) << "the random user never acted";
    // A file the user both moved and, meanwhile, trashed or moved again stands
    // in both places, and a move names it as not moved; none is ever lost.
    const QStringList lostOrDoubled = LostOrDoubled(before, AllFiles());
    EXPECT_EQ(Lines(lostOrDoubled.filter(QRegularExpression(QStringLiteral("^lost ")))), "");
    if (!lostOrDoubled.isEmpty()) {
        EXPECT_FALSE(dialogs.Messages().filter(QStringLiteral("were not moved")).isEmpty()) << "doubled silently";
    }
    EXPECT_EQ(Lines(VanishedRowBoxes()), "");
    EXPECT_FALSE(CopyFailureFollowedByCopiedMessage());
    EXPECT_EQ(Lines(Leftovers()), "");
    EXPECT_EQ(Lines(pointsWithoutHourglass), "") << "points reached without the hourglass, after the actions above";
    EXPECT_EQ(form->MousePointer(), MousePointer::Default);
    EXPECT_EQ(form->PushButton1->text(), kStartCaption);
    EXPECT_TRUE(form->PushButton1->isEnabled() || form->FolderRows().Count() == 0);

    EveryCommandWorks();
    EXPECT_EQ(Lines(modelTestReports), "");
}

// Six seeds per command; ORVANTA_CLICK_SEEDS asks for more in a longer run.
unsigned SeedCount()
{
    bool given = false;
    const int count = qEnvironmentVariableIntValue("ORVANTA_CLICK_SEEDS", &given);
    return given && count > 0 ? static_cast<unsigned>(count) : 6u;
}

std::string RunName(const testing::TestParamInfo<std::tuple<Command, unsigned>>& info)
{
    constexpr const char* kCommands[] = {"Search", "Save", "Copy", "Recycle", "Move"};
    return std::string(kCommands[static_cast<int>(std::get<0>(info.param))]) + "Seed"
        + std::to_string(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(ClickDuring, ClickDuringCommandsTest,
                         testing::Combine(testing::Values(Command::Search, Command::Save, Command::Copy,
                                                          Command::Recycle, Command::Move),
                                          testing::Range(1u, SeedCount() + 1)),
                         RunName);
// One click at a chosen event point of a command, on the rows it works on.
class ClickDuringCommandTest : public FaultFixture {
protected:
    void SetUp() override
    {
        FaultFixture::SetUp();
        MakeTree();
        EmptyTrash();
        FillRows(files);
    }

    void ClickAt(int point, QPushButton* button)
    {
        pump.hook = [this, point, button](int reached) {
            if (reached == point)
                button->click();
        };
    }
};

TEST_F(ClickDuringCommandTest, TrashOfTheFileInTheMoveKeepsBothCopiesAndTheMessageSaysWhere)
{
    const QString large = runDir->CreateFile(QStringLiteral("tree/a/large.bin"), QByteArray(kLargeFile, 'L'));
    Rows().Clear();
    FillRows({large});
    CheckRows({1});
    dialogs.folders = {Target()};
    dialogs.answers = {true};
    ClickAt(2, form->PushButton5);  // after the first chunk of the copy
    form->PushButton11_Click();

    EXPECT_FALSE(QFile::exists(large));
    EXPECT_EQ(QFileInfo(Target() + QStringLiteral("/large.bin")).size(), kLargeFile);
    EXPECT_EQ(QFileInfo(TrashFiles() + QStringLiteral("/large.bin")).size(), kLargeFile);
    EXPECT_EQ(Lines(Leftovers()), "");
    const QStringList messages = dialogs.Messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("meanwhile the file was taken from its folder")))
        << messages[0].toStdString();
    EXPECT_FALSE(messages[0].contains(QStringLiteral("left in place")));
    EXPECT_EQ(Rows().Count(), 0);
}

TEST_F(ClickDuringCommandTest, ClearWhileTheTrashCollectsReadsNoRowPastTheEndAndAsksNothing)
{
    CheckRows({1, 2, 3});
    ClickAt(1, form->PushButton6);
    dialogs.answers = {true};
    form->PushButton5_Click();
    EXPECT_EQ(Lines(dialogs.Texts(FakeDialogs::Kind::Question)), "");
    EXPECT_EQ(Lines(dialogs.Warnings()), "");
    for (const QString& path : files)
        EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
}

TEST_F(ClickDuringCommandTest, ClearWhileTheCopyReadsIsToldOnceAndNotReportedAsCopied)
{
    const QString clipboardBefore = QStringLiteral("on the clipboard before");
    QGuiApplication::clipboard()->setText(clipboardBefore);
    ClickAt(2, form->PushButton6);
    form->PushButton4_Click();
    const QStringList warnings = dialogs.Warnings();
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains(QLatin1String(LocationTag::kCopy)));
    EXPECT_EQ(Lines(dialogs.Messages()), "");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), clipboardBefore.toStdString());
}
TEST_F(ClickDuringCommandTest, ACommandRunWhileTheSearchDropsNestedFoldersLeavesTheHourglassThatGuardsTheFolderList)
{
    form->FolderRows().Clear();
    // Both sub-folders stand before the tree itself, so the search drops them.
    for (const QString& folder : {TreeRoot() + QStringLiteral("/a"), TreeRoot() + QStringLiteral("/c"), TreeRoot()})
        form->FolderRows().Add(folder + QLatin1Char('/'));
    dialogs.saveNames = {runDir->Path(QStringLiteral("list.txt"))};
    // After the first nested folder is dropped: a save and an add, then Delete on the first folder.
    pump.hook = [this](int point) {
        if (point != 1)
            return;
        form->PushButton2->click();
        dialogs.folders = {Target()};
        form->PushButton3->click();
        form->ListView1->setCurrentIndex(form->FolderRows().index(0, 0));
        QTest::keyClick(form->ListView1, Qt::Key_Delete);
    };
    form->PushButton1_Click();

    EXPECT_EQ(Lines(dialogs.Warnings()), "");
    EXPECT_EQ(form->FolderRows().Text(1).toStdString(), (TreeRoot() + QLatin1Char('/')).toStdString());
    EXPECT_EQ(form->FolderRows().Count(), 2) << "the added folder stays";
    EXPECT_EQ(ResultSet(), std::set<QString>(files.cbegin(), files.cend()));
    EXPECT_EQ(form->MousePointer(), MousePointer::Default);
}
}  // namespace
