#include "app/core/Failure.h"
#include "app/platform/QtDialogs.h"
#include "app/platform/QtShell.h"
#include "app/platform/QtTranslations.h"
#include "tests/support/TestDir.h"

#include <QApplication>
#include <QAbstractButton>
#include <QComboBox>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusServer>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QListView>
#include <QLocale>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {
// A file manager that records what it is asked to show and answers (or
// refuses) from the event loop, as one in this very process must.
class FileManager : public QDBusVirtualObject {
public:
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        shown << message.arguments().value(0).toStringList();
        return connection.send(refusing ? message.createErrorReply(QDBusError::Failed, {}) : message.createReply());
    }
    QString introspect(const QString&) const override { return {}; }
    QStringList shown;
    bool refusing = false;
};
}  // namespace

// The save dialog as the user sees it: the filters' texts as given, and
// "All Files (*.*)" listing a name without a dot.
TEST(QtSeamsTest, TheSaveDialogsAllFilesShowsEveryFileUnderItsOwnText)
{
    TestDir folder;
    folder.CreateFile(QStringLiteral("notes"));
    const QStringList filters{QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*.*)")};
    QStringList texts, listed;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        dialog->setDirectory(folder.Path());
        QTest::keyClick(types, Qt::Key_Down);
        texts << types->itemText(0) << types->currentText();
        const QListView* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) > 0; }));
        for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
            listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
        dialog->reject();
    });
    EXPECT_EQ(QtDialogs().PickSaveFile(nullptr, QStringLiteral("Save"), filters), QString());
    EXPECT_EQ(texts, filters);
    EXPECT_EQ(listed, QStringList{QStringLiteral("notes")});
}

// Qt's own texts follow the user's language (Debian's qt6-translations-l10n).
TEST(QtSeamsTest, QtsOwnTextsAreInTheUsersLanguage)
{
    QTranslator* german = InstallQtTranslations(QLocale(QStringLiteral("de_DE")));
    ASSERT_NE(german, nullptr) << "Qt's translations are missing: run scripts/setup.sh";
    QStringList buttons;
    const auto readButtons = [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
            buttons << button->text();
        dialog->close();
    };
    QTimer::singleShot(0, readButtons);
    QtDialogs().AskYesNo(nullptr, QStringLiteral("Orvanta"), QStringLiteral("Go on?"));
    QTimer::singleShot(0, readButtons);
    QtDialogs().PickSaveFile(nullptr, QStringLiteral("Save"), {QStringLiteral("Text Files (*.txt)")});
    for (const char* text : {"&Ja", "&Nein", "Abbrechen"})
        EXPECT_TRUE(buttons.contains(QLatin1String(text))) << text << " in " << buttons.join(' ').toStdString();
    QCoreApplication::removeTranslator(german);
    delete german;
}

// The request returns before the file manager could answer; without one,
// and with no program here to open the folder, the user is told.
TEST(QtSeamsTest, ShowInFolderNeverWaitsForTheFileManagerAndTellsWhenNothingOpened)
{
    TestDir folder;
    QDBusServer server(QStringLiteral("unix:dir=") + folder.Path());
    FileManager manager;
    const QString path = QStringLiteral("/org/freedesktop/FileManager1");
    QObject::connect(&server, &QDBusServer::newConnection,
                     [&](QDBusConnection peer) { peer.registerVirtualObject(path, &manager); });
    QtShell shell(QDBusConnection::connectToPeer(server.address(), QStringLiteral("toFileManager")));
    QStringList told;
    const auto tell = [&](const QString& reason) { told << reason; };
    QElapsedTimer clock;
    clock.start();
    shell.ShowInFolder(QStringLiteral("/data/a b.txt"), tell);
    EXPECT_LT(clock.elapsed(), 500);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !manager.shown.isEmpty(); }));
    EXPECT_EQ(manager.shown, QStringList{QStringLiteral("file:///data/a%20b.txt")});

    manager.refusing = true;
    shell.ShowInFolder(QStringLiteral("/data/a b.txt"), tell);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !told.isEmpty(); }));
    EXPECT_EQ(told, QStringList{QStringLiteral("No program could be started to open /data")});
    EXPECT_THROW(shell.OpenUrl(QUrl(QStringLiteral("https://www.orvanta.example/"))), Failure);
    QDBusConnection::disconnectFromPeer(QStringLiteral("toFileManager"));
}
