#include "app/MousePointer.h"
#include "app/ResultListMenu.h"
#include "tests/reliability/FaultFixture.h"
#include "tests/search/HookedFileSystem.h"

#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QDirIterator>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QRadioButton>
#include <QTest>
#include <QTreeView>

#include <atomic>
#include <random>
#include <tuple>

// While each long command runs, a seeded random user clicks every button,
// double-clicks and presses keys in both lists, changes the date type, the
// range and its dates, sorts the results and stops and restarts the search:
// at sampled event points and, for the search, while its worker walks. The
// nested commands answer their dialogs from queues the test sets. Afterwards
// no file is lost, none is left half-written, both lists kept their model
// contract, the window is at rest and every command works again.
namespace {
enum class Command { Search, Save, Copy, Recycle, Move };

enum class Action {
    ClickButton,
    DoubleClickFolders,
    DeleteInFolders,
    DoubleClickResults,
    DeleteInResults,
    SpaceInResults,
    ClickOption,
    SetPickerDate,
    StopAndStart,
    SortResults,
    CheckAll,
    Count
};

constexpr int kActPercent = 6;     // chance of acting at a sampled point
constexpr int kMaxActions = 14;    // per run, so nested commands stay bounded
constexpr int kTopFolders = 4;
constexpr int kSubFolders = 3;
constexpr int kLeafFolders = 2;
constexpr int kFilesPerFolder = 6;
constexpr qint64 kLargeFile = 2 * 1024 * 1024 + 3;  // a copy with more than one chunk
const QString kStartCaption = QStringLiteral("Start Searching");

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
        rng.seed(std::get<1>(GetParam()));
        MakeNestedTree();
        EmptyTrash();
        pump.hook = [this](int) { MaybeAct(); };
        // A click while the worker walks: posted to the window's thread, never waited for.
        hooked.beforeListFiles = [this](const QString&) {
            if (running.load())
                QMetaObject::invokeMethod(form.get(), [this] { MaybeAct(); }, Qt::QueuedConnection);
        };
    }

    void TearDown() override
    {
        running = false;
        hooked.beforeListFiles = nullptr;
        pump.hook = nullptr;
        folderTester.reset();
        resultTester.reset();
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

    int Draw(int bound) { return static_cast<int>(rng() % static_cast<unsigned>(bound)); }
    bool Coin() { return Draw(2) == 0; }

    // The answers the command under test reads: Yes, the move target, the list file.
    void OuterAnswers()
    {
        dialogs.answers = {true};
        dialogs.folders = {Target()};
        dialogs.saveNames = {Scratch(QStringLiteral("outer.txt"))};
    }
    // Random answers for whatever a nested click asks.
    void NestedAnswers()
    {
        dialogs.answers = {Coin(), Coin()};
        const int folder = Draw(4);
        dialogs.folders = {folder == 0 ? QString() : folder == 1 ? Target() : subFolders[Draw(static_cast<int>(subFolders.size()))]};
        dialogs.saveNames = {Coin() ? Scratch(QStringLiteral("outer.txt"))
                                    : Scratch(QStringLiteral("nested%1.txt").arg(actions.size()))};
    }

    void MaybeAct()
    {
        if (!running.load() || acting || actions.size() >= kMaxActions || Draw(100) >= kActPercent)
            return;
        acting = true;
        NestedAnswers();
        Act(static_cast<Action>(Draw(static_cast<int>(Action::Count))));
        OuterAnswers();
        acting = false;
    }

    void Act(Action action)
    {
        QTreeView* folders = form->ListView1;
        QTreeView* results = form->ListView2;
        switch (action) {
        case Action::ClickButton: {
            QPushButton* buttons[] = {form->PushButton1, form->PushButton2, form->PushButton3, form->PushButton4,
                                      form->PushButton5, form->PushButton6, form->PushButton7, form->PushButton8,
                                      form->PushButton9, form->PushButton11};
            QPushButton* button = buttons[Draw(static_cast<int>(std::size(buttons)))];
            actions << button->objectName();
            button->click();
            break;
        }
        case Action::DoubleClickFolders:
            actions << QStringLiteral("double-click folders");
            DoubleClick(folders);
            break;
        case Action::DeleteInFolders:
            actions << QStringLiteral("Delete in folders");
            SelectRandomRow(folders);
            QTest::keyClick(folders, Qt::Key_Delete);
            break;
        case Action::DoubleClickResults:
            actions << QStringLiteral("double-click results");
            DoubleClick(results);
            break;
        case Action::DeleteInResults:
            actions << QStringLiteral("Delete in results");
            SelectRandomRow(results);
            QTest::keyClick(results, Qt::Key_Delete);
            break;
        case Action::SpaceInResults:
            actions << QStringLiteral("Space in results");
            SelectRandomRow(results);
            QTest::keyClick(results, Qt::Key_Space);
            break;
        case Action::ClickOption: {
            QRadioButton* options[] = {form->Option1, form->Option2, form->Option3, form->Option4,
                                       form->Option5, form->Option6, form->Option7};
            QRadioButton* option = options[Draw(static_cast<int>(std::size(options)))];
            actions << option->objectName();
            option->click();
            break;
        }
        case Action::SetPickerDate: {
            QDateEdit* pickers[] = {form->DTPicker1, form->DTPicker2, form->DTPicker3, form->DTPicker4,
                                    form->DTPicker5};
            QDateEdit* picker = pickers[Draw(static_cast<int>(std::size(pickers)))];
            const QDate date(2000 + Draw(26), 1 + Draw(12), 1 + Draw(28));
            actions << picker->objectName() + QLatin1Char(' ') + date.toString(Qt::ISODate);
            picker->setDate(date);
            break;
        }
        case Action::StopAndStart:
            actions << QStringLiteral("Stop and Start");
            form->PushButton1->click();
            form->PushButton1->click();
            break;
        case Action::SortResults: {
            const int column = Draw(2);
            const auto order = Coin() ? Qt::AscendingOrder : Qt::DescendingOrder;
            actions << QStringLiteral("sort by column %1").arg(column + 1);
            results->header()->setSortIndicator(column, order);
            break;
        }
        case Action::CheckAll: {
            const bool checked = Coin();
            actions << (checked ? QStringLiteral("Check All") : QStringLiteral("Uncheck All"));
            form->findChild<ResultListMenu*>(QStringLiteral("ResultListMenu"))->CheckAll(checked);
            break;
        }
        case Action::Count: break;
        }
    }

    // Makes a random row (if any) current and selected.
    void SelectRandomRow(QTreeView* view)
    {
        const int count = view->model()->rowCount();
        if (count == 0)
            return;
        const QModelIndex index = view->model()->index(Draw(count), 0);
        view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    void DoubleClick(QTreeView* view)
    {
        SelectRandomRow(view);
        const QModelIndex current = view->currentIndex();
        view->scrollTo(current);
        const QPoint at = current.isValid() ? view->visualRect(current).center() : view->viewport()->rect().center();
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }

    // Fills the result list with every file of the tree, a random third checked.
    void PrepareResults()
    {
        SearchTree();
        ASSERT_EQ(Rows().Count(), files.size());
        for (int r = 1; r <= Rows().Count(); ++r)
            Rows().SetChecked(r, Draw(3) == 0);
        Rows().SetChecked(1 + Draw(Rows().Count()), true);
    }

    void RunCommand()
    {
        OuterAnswers();
        running = true;
        switch (TheCommand()) {
        case Command::Search: SearchTree(); break;
        case Command::Save: form->PushButton2_Click(); break;
        case Command::Copy: form->PushButton4_Click(); break;
        case Command::Recycle: form->PushButton5_Click(); break;
        case Command::Move: form->PushButton11_Click(); break;
        }
        running = false;
        // Posted clicks of the walk still pending are dropped now.
        QCoreApplication::processEvents();
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
    // search everything, save, copy, trash one file and move another.
    void EveryCommandWorks()
    {
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
        const std::set<QString> onDisk = FilesOnDisk();
        ASSERT_EQ(ResultSet(), onDisk) << "a clean search does not find exactly the files on disk";
        EXPECT_EQ(dialogs.Warnings(), QStringList());

        const QString listPath = Scratch(QStringLiteral("after.txt"));
        dialogs.saveNames = {listPath};
        form->PushButton2->click();
        EXPECT_EQ(Contents(listPath).count("\r\n"), Rows().Count() + 1);
        form->PushButton4->click();
        EXPECT_EQ(QGuiApplication::clipboard()->text().count(QStringLiteral("\r\n")), Rows().Count());

        Rows().SetAllChecked(false);
        const QString trashed = Rows().Text(1);
        Rows().SetChecked(1, true);
        dialogs.answers = {true};
        form->PushButton5->click();
        EXPECT_FALSE(QFile::exists(trashed));
        EXPECT_FALSE(ResultSet().contains(trashed));

        const QString moved = Rows().Text(1);
        Rows().SetChecked(1, true);
        dialogs.folders = {runDir->CreateFolder(QStringLiteral("last"))};
        form->PushButton11->click();
        EXPECT_FALSE(QFile::exists(moved));
        EXPECT_FALSE(ResultSet().contains(moved));
        EXPECT_EQ(dialogs.Messages().filter(QStringLiteral("Done.")).size(), 1);
        EXPECT_EQ(form->MousePointer(), MousePointer::Default);
    }

    HookedFileSystem hooked;
    std::unique_ptr<QAbstractItemModelTester> folderTester;
    std::unique_ptr<QAbstractItemModelTester> resultTester;
    std::mt19937 rng;
    QStringList subFolders;
    QStringList actions;  // what the random user did, for the failure message
    std::atomic<bool> running{false};
    bool acting = false;
};

TEST_P(ClickDuringCommandsTest, NothingIsLostTheListsHoldAndEveryCommandWorksAfterwards)
{
    if (TheCommand() != Command::Search)
        PrepareResults();
    const std::multiset<QByteArray> before = AllContent();

    RunCommand();
    SCOPED_TRACE(("clicked: " + actions.join(QStringLiteral(", "))).toStdString());
    EXPECT_FALSE(actions.isEmpty()) << "the random user never acted";
    EXPECT_EQ(AllContent(), before) << "a file was lost or copied twice";
    EXPECT_EQ(Leftovers(), QStringList());
    EXPECT_EQ(form->MousePointer(), MousePointer::Default);
    EXPECT_EQ(form->PushButton1->text(), kStartCaption);
    EXPECT_TRUE(form->PushButton1->isEnabled() || form->FolderRows().Count() == 0);

    EveryCommandWorks();
    EXPECT_EQ(modelTestReports, QStringList());
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
                                          testing::Values(1u, 2u, 3u)),
                         RunName);
}  // namespace
