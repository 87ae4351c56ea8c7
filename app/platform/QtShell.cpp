#include "app/platform/QtShell.h"

#include "app/core/Failure.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace {
constexpr int kShowItemsTimeoutMs = 3000;
// The error number of a program that cannot be started.
constexpr int kFileNotFound = 53;

void Open(const QUrl& url)
{
    if (!QDesktopServices::openUrl(url))
        throw Failure(kFileNotFound,
                      QStringLiteral("No program could be started to open %1").arg(url.toDisplayString(QUrl::PreferLocalFile)));
}
}  // namespace

void QtShell::OpenUrl(const QUrl& url)
{
    Open(url);
}

void QtShell::ShowInFolder(const QString& filePath, WhenNothingOpened nothingOpened)
{
    const QString path = QDir::fromNativeSeparators(filePath);
    const auto openFolder = [folder = QFileInfo(path).absolutePath(), nothingOpened] {
        try {
            Open(QUrl::fromLocalFile(folder));
        } catch (const Failure& failure) {
            nothingOpened(failure.Description());
        }
    };
    if (!m_bus.isConnected()) {
        openFolder();
        return;
    }
    // The file manager may take its time or never answer: the reply is
    // awaited in the event loop, and an error falls back to the folder.
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)} << QString();
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, kShowItemsTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [watcher, openFolder] {
        watcher->deleteLater();
        if (watcher->isError())
            openFolder();
    });
}
