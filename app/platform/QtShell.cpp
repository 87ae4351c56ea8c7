#include "app/platform/QtShell.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace {
constexpr int kShowItemsTimeoutMs = 3000;

// Asks the desktop's file manager to show the file selected; false where no
// file manager answers the freedesktop call.
bool ShowItemsOverDBus(const QString& filePath)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(QDir::fromNativeSeparators(filePath)).toString()} << QString();
    return bus.call(call, QDBus::Block, kShowItemsTimeoutMs).type() == QDBusMessage::ReplyMessage;
}
}  // namespace

void QtShell::OpenUrl(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

void QtShell::ShowInFolder(const QString& filePath)
{
    if (!ShowItemsOverDBus(filePath))
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(filePath).absolutePath()));
}
