#include "app/core/KeyCode.h"
#include "app/core/MousePointer.h"
#include "app/core/RowList.h"
#include "app/core/Settings.h"
#include "app/window/RowTableView.h"
#include "tests/support/FormFixture.h"

#include <QAbstractItemModelTester>
#include <QPushButton>
#include <QTest>

namespace {

class FolderListCommandsTest : public FormFixture {
protected:
    void SetUp() override
    {
        MakeForm();
        tester = std::make_unique<QAbstractItemModelTester>(&form->FolderRows());
    }
    QStringList Rows() const
    {
        QStringList texts;
        for (int i = 1; i <= form->FolderRows().Count(); ++i)
            texts << form->FolderRows().Text(i);
        return texts;
    }
    void AddPicked(const QString& folder)
    {
        dialogs.folders.push_back(folder);
        form->PushButton3->click();
    }
    void SelectRow(int index) { form->ListView1->setCurrentIndex(form->FolderRows().index(index - 1, 0)); }
    // What the window receives from a double-click: press and release, then the double-click.
    void DoubleClick(const QPoint& point)
    {
        QTest::mouseClick(form->ListView1->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(form->ListView1->viewport(), Qt::LeftButton, {}, point);
    }

    std::unique_ptr<QAbstractItemModelTester> tester;
};

TEST_F(FolderListCommandsTest, AddFolderAppendsTheNormalisedPath)
{
    WriteSetting(QStringLiteral("LastFolderDot"), QStringLiteral("/srv"));
    form->PushButton1->setEnabled(false);
    for (const char* picked : {"/home/me", "/", "/home/me/", "//srv//a", "/home/me"})
        AddPicked(QString::fromUtf8(picked));
    EXPECT_EQ(Rows(), QStringList({"/home/me/", "/", "/home/me/", "/srv/a/", "/home/me/"}));
    EXPECT_TRUE(form->PushButton1->isEnabled());
    EXPECT_EQ(form->MousePointer(), MousePointer::Default);
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown.front().title, QStringLiteral("Please select folder:"));
    EXPECT_EQ(dialogs.shown.front().text, QStringLiteral("/srv"));
    EXPECT_EQ(ReadSetting(QStringLiteral("LastFolderDot"), {}), QStringLiteral("/srv"));
}

TEST_F(FolderListCommandsTest, CancelledPickerChangesNothing)
{
    WriteSetting(QStringLiteral("LastFolderDot"), QStringLiteral("/kept"));
    form->PushButton1->setEnabled(false);
    form->SetMousePointer(MousePointer::Custom);
    form->PushButton3->click();
    EXPECT_TRUE(Rows().isEmpty());
    EXPECT_FALSE(form->PushButton1->isEnabled());
    EXPECT_EQ(form->MousePointer(), MousePointer::Custom);
    EXPECT_EQ(ReadSetting(QStringLiteral("LastFolderDot"), {}), QStringLiteral("/kept"));
}

TEST_F(FolderListCommandsTest, DoubleClickAnywhereRemovesTheCurrentRowAndDisablesSearchWhenEmpty)
{
    for (const char* folder : {"/a", "/b", "/c"})
        AddPicked(QLatin1String(folder));
    form->show();
    const QPoint belowTheRows(10, form->ListView1->viewport()->height() - 5);
    DoubleClick(form->ListView1->visualRect(form->FolderRows().index(1, 0)).center());
    EXPECT_EQ(Rows(), QStringList({"/a/", "/c/"}));
    SelectRow(1);
    DoubleClick(belowTheRows);
    EXPECT_EQ(Rows(), QStringList({"/c/"}));
    EXPECT_TRUE(form->PushButton1->isEnabled());
    DoubleClick(belowTheRows);
    EXPECT_TRUE(Rows().isEmpty());
    EXPECT_FALSE(form->PushButton1->isEnabled());

    // An empty list: nothing to remove, the button is disabled all the same.
    form->PushButton1->setEnabled(true);
    DoubleClick(belowTheRows);
    EXPECT_FALSE(form->PushButton1->isEnabled());
}

TEST_F(FolderListCommandsTest, DeleteKeyRemovesTheCurrentRowOnly)
{
    AddPicked(QStringLiteral("/a"));
    AddPicked(QStringLiteral("/b"));
    form->ListView1->setCurrentIndex({});
    form->ListView1_KeyDown(KeyCode::Delete, 0);
    EXPECT_EQ(Rows().size(), 2);  // rows but no current row
    SelectRow(2);
    form->ListView1_KeyDown(Qt::Key_A, 0);
    EXPECT_EQ(Rows().size(), 2);
    form->ListView1_KeyDown(KeyCode::Delete, 1);  // Shift+Delete acts as Delete
    EXPECT_EQ(Rows(), QStringList({"/a/"}));
    SelectRow(1);
    form->ListView1->setFocus();
    QTest::keyClick(form->ListView1, Qt::Key_Period);  // its Qt code is 46 as well
    QTest::keyClick(form->ListView1, Qt::Key_Period, Qt::KeypadModifier);
    EXPECT_EQ(Rows(), QStringList({"/a/"}));
    QTest::keyClick(form->ListView1, Qt::Key_Delete);
    EXPECT_TRUE(Rows().isEmpty());
    EXPECT_TRUE(form->PushButton1->isEnabled());
}

TEST_F(FolderListCommandsTest, TheListSelectsOneRowAtATimeWhateverTheMouseAndKeysDo)
{
    for (const char* folder : {"/a", "/b", "/c"})
        AddPicked(QLatin1String(folder));
    form->show();
    for (const auto& [row, keys] : {std::pair{0, Qt::NoModifier}, {2, Qt::ShiftModifier}, {1, Qt::ControlModifier}})
        QTest::mouseClick(form->ListView1->viewport(), Qt::LeftButton, keys, form->ListView1->visualRect(form->FolderRows().index(row, 0)).center());
    QTest::keyClick(form->ListView1, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(form->ListView1->selectionModel()->selectedRows().size(), 1);
}

TEST_F(FolderListCommandsTest, HourglassHoldsOffRemovals)
{
    AddPicked(QStringLiteral("/a"));
    SelectRow(1);
    form->SetMousePointer(MousePointer::Hourglass);
    form->ListView1_DblClick();
    form->ListView1_KeyDown(KeyCode::Delete, 0);
    form->PushButton9->click();
    EXPECT_EQ(Rows(), QStringList({"/a/"}));
    EXPECT_TRUE(form->PushButton1->isEnabled());

    // Add Folder does not look at the pointer.
    AddPicked(QStringLiteral("/b"));
    EXPECT_EQ(Rows().size(), 2);
}

TEST_F(FolderListCommandsTest, ClearListEmptiesTheFolderListOnly)
{
    AddPicked(QStringLiteral("/a"));
    AddPicked(QStringLiteral("/b"));
    form->ResultRows().Add(QStringLiteral("/a/file"));
    form->PushButton9->click();
    EXPECT_TRUE(Rows().isEmpty());
    EXPECT_TRUE(form->PushButton1->isEnabled());
    EXPECT_EQ(form->ResultRows().Count(), 1);
}
}  // namespace
