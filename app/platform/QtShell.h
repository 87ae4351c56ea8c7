#pragma once

#include "app/core/Shell.h"

#include <QDBusConnection>

// The desktop's programs through QDesktopServices, and the file manager's
// freedesktop.org D-Bus interface on the given bus.
class QtShell : public Shell {
public:
    explicit QtShell(const QDBusConnection& bus = QDBusConnection::sessionBus()) : m_bus(bus) {}

    void OpenUrl(const QUrl& url) override;
    void ShowInFolder(const QString& filePath, WhenNothingOpened nothingOpened) override;

private:
    QDBusConnection m_bus;
};
