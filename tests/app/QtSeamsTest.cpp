#include "app/platform/QtDialogs.h"
#include "tests/support/TestDir.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QListView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

// The save dialog as the user sees it: each filter's text as the program
// gives it, and "All Files (*.*)" listing a name without a dot.
TEST(QtSeamsTest, TheSaveDialogsAllFilesShowsEveryFileUnderItsOwnText)
{
    TestDir folder;
    folder.CreateFile(QStringLiteral("notes"));
    folder.CreateFile(QStringLiteral("list.txt"));
    const QStringList filters{QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*.*)")};
    QStringList texts, listed;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        for (int i = 0; i < types->count(); ++i)
            texts << types->itemText(i);
        dialog->setDirectory(folder.Path());
        QTest::keyClick(types, Qt::Key_Down);
        const QListView* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) > 0; }));
        for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
            listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
        dialog->reject();
    });
    EXPECT_EQ(QtDialogs().PickSaveFile(nullptr, QStringLiteral("Save"), filters), QString());
    EXPECT_EQ(texts, filters);
    listed.sort();
    EXPECT_EQ(listed, (QStringList{QStringLiteral("list.txt"), QStringLiteral("notes")}));
}

