#pragma once

#include "app/core/Failure.h"
#include "app/core/FolderReading.h"
#include "app/platform/PosixFileSystem.h"

#include <QString>

#include <functional>

// The real file system with a hook before each folder listing (given the
// folder without a trailing separator, called on the search's worker
// thread), an optional failure for one folder's listing, and the choice to
// report every creation time as unreadable.
class HookedFileSystem : public PosixFileSystem {
public:
    void ListFiles(const QString& path, const FileVisitor& visit) override
    {
        const QString folderPath = path.size() > 1 && path.endsWith(QLatin1Char('/')) ? path.chopped(1) : path;
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

    void ListFolder(const QString& path, std::vector<SubFolderName>& subFolders, const FileVisitor& visit) override
    {
        // Read as two listings, so the hooks above see every folder.
        FileSystem::ListFolder(path, subFolders, visit);
    }
    std::unique_ptr<FolderReading> StartFolderReading(const QStringList& startFolders) override
    {
        return FileSystem::StartFolderReading(startFolders);
    }

    std::function<void(const QString& folderPath)> beforeListFiles;
    QString failingFolder;
    int failingNumber = 0;
    bool noBirthTimes = false;
};
