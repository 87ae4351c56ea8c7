#pragma once

#include "app/core/Failure.h"
#include "app/core/Shell.h"

#include <QStringList>
#include <QUrl>

#include <vector>

// Records the shell requests instead of opening anything; with a refusal set,
// every request fails with it as a desktop without the program would.
class FakeShell : public Shell {
public:
    void OpenUrl(const QUrl& url) override
    {
        openedUrls.push_back(url);
        if (!refusal.isEmpty())
            throw Failure(ErrorNumber::PathNotFound, refusal);
    }
    void ShowInFolder(const QString& filePath, WhenNothingOpened nothingOpened) override
    {
        shownInFolder << filePath;
        if (!refusal.isEmpty())
            nothingOpened(refusal);
    }

    std::vector<QUrl> openedUrls;
    QStringList shownInFolder;
    QString refusal;
};
