#pragma once

#include <QString>
#include <QUrl>

// The desktop's own programs: the browser, the file manager, the default
// program of a file. Tests record the requests instead of opening anything.
class Shell {
public:
    virtual ~Shell() = default;

    // Opens a web page, a folder or a file with the desktop's default program.
    virtual void OpenUrl(const QUrl& url) = 0;
    // Shows a file in the file manager, selected where the file manager supports it.
    virtual void ShowInFolder(const QString& filePath) = 0;
};
