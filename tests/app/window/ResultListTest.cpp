#include "actions/undo/UndoRecords.h"
#include "app/core/RowList.h"
#include "app/window/RowTableView.h"
#include "tests/support/FormFixture.h"
#include "tests/support/TestDir.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QDateEdit>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTest>

namespace {
class ResultListTest : public FormFixture {
protected:
    void SetUp() override
    {
        MakeForm();
        RowList& rows = form->ResultRows();
        rows.AddColumn(QStringLiteral("File(s) Found"));
        rows.AddColumn(QStringLiteral("Date Modified"));
    }
    RowList& Rows() { return form->ResultRows(); }
    QTableView& View() { return *form->ListView2; }

    void AddRows(const QStringList& texts)
    {
        for (const QString& text : texts)
            Rows().Add(text, 1'600'000'000);
    }
    // Selects the rows (1-based) and makes the last one current.
    void Select(const std::vector<int>& rows)
    {
        QItemSelectionModel* selection = View().selectionModel();
        selection->clearSelection();
        for (int row : rows)
            selection->setCurrentIndex(Rows().index(row - 1, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    void Trigger(const QString& command)
    {
        auto* menu = form->findChild<QMenu*>(QStringLiteral("ResultListContextMenu"));
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) {
            if (action->text() == command) {
                action->trigger();
                return;
            }
        }
        FAIL() << command.toStdString() << " is not in the menu";
    }
    std::vector<bool> Marks()
    {
        std::vector<bool> marks;
        for (int i = 1; i <= Rows().Count(); ++i)
            marks.push_back(Rows().Checked(i));
        return marks;
    }
    QStringList Texts()
    {
        QStringList texts;
        for (int i = 1; i <= Rows().Count(); ++i)
            texts << Rows().Text(i);
        return texts;
    }
    void ClickHeading(int section)
    {
        QHeaderView* header = View().horizontalHeader();
        const QPoint point(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                           header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, point);
    }
};
}  // namespace

TEST_F(ResultListTest, MenuCommandsActOnTheSelectedRowsAndTheWholeList)
{
    QAbstractItemModelTester tester(&Rows(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    AddRows({"/data/a.txt", "/data/b c.txt", "/data/sub/d.txt", "/data/e.txt"});
    Rows().SetChecked(1, true);
    Select({2, 3});

    Trigger("Open");
    ASSERT_EQ(shell.openedUrls.size(), 1u);
    EXPECT_EQ(shell.openedUrls[0], QUrl::fromLocalFile("/data/sub/d.txt"));
    Trigger("Open Containing Folder");
    EXPECT_EQ(shell.shownInFolder, QStringList{"/data/sub/d.txt"});
    Trigger("Copy Path");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("/data/b c.txt\n/data/sub/d.txt"));
    // With the current row outside the selection, Open takes the first selected row.
    View().selectionModel()->setCurrentIndex(Rows().index(3, 0), QItemSelectionModel::NoUpdate);
    Trigger("Open");
    EXPECT_EQ(shell.openedUrls.back(), QUrl::fromLocalFile("/data/b c.txt"));

    Trigger("Check Selected");
    EXPECT_EQ(Marks(), (std::vector<bool>{true, true, true, false}));
    Trigger("Uncheck Selected");
    EXPECT_EQ(Marks(), (std::vector<bool>{true, false, false, false}));
    Trigger("Check All");
    EXPECT_EQ(Marks(), (std::vector<bool>{true, true, true, true}));
    Trigger("Uncheck All");
    EXPECT_EQ(Marks(), (std::vector<bool>{false, false, false, false}));
    // The menu acted on the list only: nothing removed, no box shown.
    EXPECT_EQ(Rows().Count(), 4);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ResultListTest, MenuCommandsWithoutASelectionDoNothing)
{
    AddRows({"/data/a.txt"});
    View().selectionModel()->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    for (const char* command : {"Open", "Open Containing Folder", "Copy Path", "Check Selected"})
        Trigger(QString::fromLatin1(command));
    EXPECT_TRUE(shell.openedUrls.empty());
    EXPECT_TRUE(shell.shownInFolder.empty());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    EXPECT_FALSE(Rows().Checked(1));
}

TEST_F(ResultListTest, OpenAndOpenContainingFolderTellWhenNothingOpened)
{
    AddRows({"/data/a.txt"});
    Select({1});
    shell.refusal = QStringLiteral("No program could be started to open /data/a.txt");
    Trigger("Open");
    Trigger("Open Containing Folder");
    EXPECT_EQ(dialogs.Warnings(), QStringList(2, shell.refusal));
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Orvanta"));
}

TEST_F(ResultListTest, SpaceTogglesEverySelectedRowTogether)
{
    AddRows({"/a", "/b", "/c", "/d"});
    Rows().SetChecked(4, true);
    Select({4, 1, 3});  // the current row 3 is unchecked, so all three become checked
    QTest::keyClick(&View(), Qt::Key_Space);
    EXPECT_EQ(Marks(), (std::vector<bool>{true, false, true, true}));
    QTest::keyClick(&View(), Qt::Key_Space);
    EXPECT_EQ(Marks(), (std::vector<bool>{false, false, false, false}));
}

TEST_F(ResultListTest, DoubleClickAndOtherKeysRunNoCommand)
{
    AddRows({"/a", "/b", "/c"});
    form->show();
    Select({2});
    const QRect cell = View().visualRect(Rows().index(1, 1));
    QTest::mouseDClick(View().viewport(), Qt::LeftButton, {}, cell.center());
    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_F2, Qt::Key_A})
        QTest::keyClick(&View(), key);
    EXPECT_EQ(Texts(), (QStringList{"/a", "/b", "/c"}));
    EXPECT_EQ(Marks(), (std::vector<bool>{false, false, false}));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(shell.openedUrls.empty());
    EXPECT_TRUE(shell.shownInFolder.empty());
}

TEST_F(ResultListTest, TheMenusKeysActWhileTheListHasTheFocus)
{
    AddRows({"/a", "/b", "/c"});
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    form->ListView1->setFocus();  // elsewhere the keys keep their own meaning
    QTest::keyClick(form->ListView1, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(form->ListView1, Qt::Key_Return);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    EXPECT_TRUE(shell.openedUrls.empty());

    QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, View().visualRect(Rows().index(1, 0)).center());
    QTest::mouseClick(View().viewport(), Qt::LeftButton, Qt::ShiftModifier, View().visualRect(Rows().index(2, 0)).center());
    QTest::keyClick(&View(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("/b\n/c"));
    QTest::keyClick(&View(), Qt::Key_Return);
    EXPECT_EQ(shell.openedUrls, std::vector<QUrl>{QUrl::fromLocalFile("/c")});
    QTest::keyClick(&View(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(dialogs.Texts(FakeDialogs::Kind::SavePicker).size(), 1);
    // A move recorded since the menu last opened: Ctrl+Z undoes it all the same.
    form->Undo().lastMove.files.push_back({QStringLiteral("/nonexistent/a"), QStringLiteral("/nonexistent/b"), {}});
    QTest::keyClick(&View(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(dialogs.shown.size(), 2u);
    QTest::keyClick(&View(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_NE(form->findChild<QWidget*>(QStringLiteral("TimelineWindow")), nullptr);
    EXPECT_EQ(MenuEntry(QStringLiteral("Undo Last Move"))->shortcut().toString(), QStringLiteral("Ctrl+Z"));
}

TEST_F(ResultListTest, HomeAndEndSelectTheFirstAndTheLastRow)
{
    AddRows({"/a", "/b", "/c"});
    form->show();
    Select({2});
    QTest::keyClick(&View(), Qt::Key_End);
    Trigger("Copy Path");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("/c"));
    QTest::keyClick(&View(), Qt::Key_Home);
    Trigger("Copy Path");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("/a"));
}

TEST_F(ResultListTest, HeadingClicksSortAscendingThenDescendingAndSelectionFollowsRows)
{
    Rows().Add(QStringLiteral("/b"), 30);
    Rows().Add(QStringLiteral("/a"), kNoTime);
    Rows().Add(QStringLiteral("/c"), 10);
    form->show();
    Select({1});  // "/b"
    ClickHeading(1);
    EXPECT_EQ(Texts(), (QStringList{"/a", "/c", "/b"}));
    ClickHeading(1);
    EXPECT_EQ(Texts(), (QStringList{"/b", "/c", "/a"}));
    ClickHeading(0);
    EXPECT_EQ(Texts(), (QStringList{"/a", "/b", "/c"}));
    EXPECT_EQ(View().horizontalHeader()->sortIndicatorSection(), 0);
    EXPECT_EQ(View().horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    Trigger("Copy Path");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("/b"));
}

TEST_F(ResultListTest, ANewSearchListsInWalkOrderAgain)
{
    TestDir dir;
    for (const char* name : {"m.txt", "z.txt", "a.txt", "k/x.txt"})
        dir.CreateFile(QString::fromLatin1(name));
    form->FolderRows().Add(dir.Path() + QLatin1Char('/'));
    form->DTPicker1->setDate(QDate(2000, 1, 1));
    form->show();
    form->PushButton1->click();
    const QStringList walkOrder = Texts();
    ASSERT_EQ(walkOrder.size(), 4);

    ClickHeading(0);
    ClickHeading(0);
    ASSERT_NE(Texts(), walkOrder);
    EXPECT_NE(View().horizontalHeader()->sortIndicatorSection(), -1);

    form->PushButton1->click();
    EXPECT_EQ(Texts(), walkOrder);
    EXPECT_EQ(View().horizontalHeader()->sortIndicatorSection(), -1);
    // The next click on a heading starts ascending again.
    ClickHeading(0);
    EXPECT_EQ(View().horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
}

TEST_F(ResultListTest, DatesShowWholeInTheLocaleOnlyPathsAreElided)
{
    TestDir dir;
    dir.CreateFile(QString(80, u'p'), {}, QDateTime(QDate(2024, 12, 31), QTime(12, 0)));
    for (const char* locale : {"en_US", "ja_JP", "zh_TW"}) {
        QLocale::setDefault(QLocale(QLatin1String(locale)));
        MakeForm();
        form->FolderRows().Add(dir.Path() + QLatin1Char('/'));
        form->DTPicker1->setDate(QDate(2000, 1, 1));
        form->show();
        form->PushButton1->click();
        const QHeaderView* header = View().horizontalHeader();
        EXPECT_GE(header->sectionSize(1), View().sizeHintForIndex(Rows().index(0, 1)).width()) << locale;
        EXPECT_LT(header->sectionSize(0), View().sizeHintForIndex(Rows().index(0, 0)).width()) << locale;
    }
    QLocale::setDefault(QLocale::system());
}

TEST_F(ResultListTest, TheMenuOffersSelectionCommandsOnlyWithASelection)
{
    AddRows({"/a", "/b"});
    form->show();
    auto* menu = form->findChild<QMenu*>(QStringLiteral("ResultListContextMenu"));
    const auto enabled = [&] {
        QStringList texts;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator() && action->isEnabled())
                texts << action->text();
        }
        return texts;
    };
    View().selectionModel()->clear();
    emit View().customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(enabled(), (QStringList{"Check All", "Uncheck All", "Show Timeline...", "Export as CSV..."}));
    menu->hide();
    Select({1});
    emit View().customContextMenuRequested(QPoint(5, 5));
    EXPECT_EQ(enabled().size(), 9);
    menu->hide();
}

TEST_F(ResultListTest, RowsShowTheirCheckMarkToAScreenReaderAndFitTheirText)
{
    AddRows({"/a/one.txt", "/a/two.txt"});
    Rows().SetChecked(2, true);
    form->show();
    QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(&View())->tableInterface();
    ASSERT_NE(table, nullptr);
    for (int row : {1, 2}) {
        const QAccessible::State state = table->cellAt(row - 1, 0)->state();
        EXPECT_TRUE(state.checkable && state.checked == (row == 2)) << row;
    }

    // The one row height follows the font: text and check box fit.
    QFont large = View().font();
    large.setPointSize(large.pointSize() * 3);
    View().setFont(large);
    QStyleOptionViewItem option;
    option.initFrom(&View());
    option.font = large;
    EXPECT_GE(View().rowHeight(1), View().itemDelegate()->sizeHint(option, Rows().index(1, 0)).height());
}
