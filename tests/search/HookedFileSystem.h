#pragma once

#include "app/Failure.h"
#include "app/PosixFileSystem.h"

#include <QString>

#include <functional>

// The real file system with a hook before each folder listing (called on the
// search's worker thread), an optional failure for one folder's listing, and
// the choice to report every creation time as unreadable.
class HookedFileSystem : public PosixFileSystem {
public:
    void ListFiles(const QString& folderPath, const FileVisitor& visit) override
    {
        if (beforeListFiles)
            beforeListFiles(folderPath);
        if (folderPath == failingFolder)
            throw Failure(failingNumber, QStringLiteral("Input/output error"));
        PosixFileSystem::ListFiles(folderPath, [&](std::string_view name, const FileTimes& times) {
            FileTimes reported = times;
            if (noBirthTimes)
                reported.created = kNoTime;
            visit(name, reported);
        });
    }

    std::function<void(const QString& folderPath)> beforeListFiles;
    QString failingFolder;
    int failingNumber = 0;
    bool noBirthTimes = false;
};
