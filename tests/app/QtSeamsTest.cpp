#include "app/Failure.h"
#include "app/platform/QtDialogs.h"
#include "app/platform/QtShell.h"
#include "tests/support/TestDir.h"

#include <QApplication>
#include <QComboBox>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QListView>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {
// A file manager that records the files it is asked to show and answers
// from the event loop, as one in this very process must.
class FileManager : public QDBusVirtualObject {
public:
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        shown << message.arguments().value(0).toStringList();
        return connection.send(message.createReply());
    }
    QString introspect(const QString&) const override { return {}; }
    QStringList shown;
};
}  // namespace

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

// On a private bus (no service started on demand): the request returns before
// the file manager could answer; without a file manager, and no program here
// to open the folder, the user is told.
TEST(QtSeamsTest, ShowInFolderNeverWaitsForTheFileManagerAndTellsWhenNothingOpened)
{
    TestDir folder;
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--nofork"), QStringLiteral("--print-address"),
        QStringLiteral("--config-file=") + folder.CreateFile(QStringLiteral("bus.conf"),
            "<busconfig><listen>unix:dir=" + folder.Path().toUtf8() + "</listen><policy context=\"default\"><allow send_destination=\"*\"/>"
            "<allow receive_sender=\"*\"/><allow own=\"*\"/></policy></busconfig>")});
    if (!daemon.waitForReadyRead(5000))
        GTEST_SKIP() << "no dbus-daemon for a private bus";
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    QDBusConnection managerSide = QDBusConnection::connectToBus(address, QStringLiteral("fileManager"));
    FileManager manager;
    managerSide.registerVirtualObject(QStringLiteral("/org/freedesktop/FileManager1"), &manager);
    ASSERT_TRUE(managerSide.registerService(QStringLiteral("org.freedesktop.FileManager1")));

    QtShell shell(QDBusConnection::connectToBus(address, QStringLiteral("program")));
    QStringList told;
    QElapsedTimer clock;
    clock.start();
    shell.ShowInFolder(QStringLiteral("/data/a b.txt"), [&](const QString& reason) { told << reason; });
    EXPECT_LT(clock.elapsed(), 500);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !manager.shown.isEmpty(); }));
    EXPECT_EQ(manager.shown, QStringList{QStringLiteral("file:///data/a%20b.txt")});

    managerSide.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
    shell.ShowInFolder(QStringLiteral("/data/a b.txt"), [&](const QString& reason) { told << reason; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return !told.isEmpty(); }));
    EXPECT_EQ(told, QStringList{QStringLiteral("No program could be started to open /data")});
    EXPECT_THROW(shell.OpenUrl(QUrl(QStringLiteral("https://www.orvanta.example/"))), Failure);
    QDBusConnection::disconnectFromBus(QStringLiteral("fileManager"));
    QDBusConnection::disconnectFromBus(QStringLiteral("program"));
    daemon.kill();
    daemon.waitForFinished();
}
