#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// The desktop's own programs: the browser, the file manager, the default
// program of a file. Tests record the requests instead of opening anything.
class Shell {
public:
    // Told, perhaps after the request has returned, why nothing took it.
    using WhenNothingOpened = std::function<void(const QString& reason)>;

    virtual ~Shell() = default;

    // Opens a web page, a folder or a file with the desktop's default program.
    // Throws Failure when no program could be started for it.
    virtual void OpenUrl(const QUrl& url) = 0;
    // Shows a file in the file manager, selected where the file manager
    // supports it, else opens its folder. Returns at once, without waiting
    // for the file manager; nothingOpened runs when neither way worked.
    virtual void ShowInFolder(const QString& filePath, WhenNothingOpened nothingOpened) = 0;
};
