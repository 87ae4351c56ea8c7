#pragma once

#include "app/Shell.h"

#include <QStringList>
#include <QUrl>

#include <vector>

// Records the shell requests instead of opening anything.
class FakeShell : public Shell {
public:
    void OpenUrl(const QUrl& url) override { openedUrls.push_back(url); }
    void ShowInFolder(const QString& filePath) override { shownInFolder << filePath; }

    std::vector<QUrl> openedUrls;
    QStringList shownInFolder;
};
