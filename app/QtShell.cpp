#include "app/QtShell.h"

#include <QDesktopServices>
#include <QFileInfo>

void QtShell::OpenUrl(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

void QtShell::ShowInFolder(const QString& filePath)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(filePath).absolutePath()));
}
