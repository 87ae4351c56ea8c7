#include "app/platform/PosixFileSystem.h"
#include "app/platform/QtDialogs.h"
#include "app/platform/QtEventPump.h"
#include "app/platform/QtShell.h"
#include "app/platform/QtTranslations.h"
#include "app/window/Form1.h"

#include <QApplication>
#include <QLocale>
#include <QScreen>

#include <cstdio>
#include <cstdlib>

namespace {
bool HasDisplay()
{
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}
}  // namespace

int main(int argc, char* argv[])
{
    if (!HasDisplay()) {
        std::fprintf(stderr, "orvanta: no display found (DISPLAY is not set); start it on a desktop or under xvfb-run\n");
        return 2;
    }
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("example.orvanta.Orvanta"));
    InstallQtTranslations(QLocale::system());

    PosixFileSystem fileSystem;
    QtDialogs dialogs;
    QtShell shell;
    QtEventPump pump;
    Form1 window(Seams{fileSystem, dialogs, shell, pump}, QCoreApplication::applicationDirPath());
    window.Form_Load();
    window.FitToScreen();
    const QRect screen = window.screen()->availableGeometry();
    window.move(screen.center() - window.rect().center());
    window.show();
    return application.exec();
}
