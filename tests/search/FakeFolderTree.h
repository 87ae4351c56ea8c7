#pragma once

#include "app/core/Failure.h"
#include "app/core/FileSystem.h"
#include "search/WalkObserver.h"

#include <QString>

#include <map>
#include <utility>
#include <vector>

// A folder tree held in memory, for the expansion rules: each folder has its
// attributes, its sub-folder names in listing order, and optionally an error
// number that reading it fails with.
class FakeFolderTree : public FileSystem {
public:
    struct Folder {
        int attributes = FolderAttribute::Directory;
        bool isRoot = false;
        std::vector<SubFolderName> subFolders;
        int listingError = 0;  // thrown by SubFolders
    };

    // Adds a folder (path ending in "/") and names it in its parent's listing.
    Folder& Add(const QString& path, int attributes = FolderAttribute::Directory)
    {
        Folder& folder = folders[path];
        folder.attributes = attributes;
        const qsizetype cut = path.lastIndexOf(QLatin1Char('/'), path.size() - 2);
        const QString parent = path.left(cut + 1);
        if (cut > 0 && folders.count(parent))
            folders[parent].subFolders.push_back({path.mid(cut + 1, path.size() - cut - 2), true});
        return folder;
    }

    FolderInfo GetFolder(const QString& path) override
    {
        const Folder& folder = Find(path);
        return {folder.attributes, folder.isRoot};
    }
    std::vector<SubFolderName> SubFolders(const QString& path) override
    {
        const Folder& folder = Find(path);
        if (folder.listingError)
            throw Failure(folder.listingError, QStringLiteral("listing failed"));
        return folder.subFolders;
    }
    bool IsExistingFolder(const QString& path) override { return folders.count(path) > 0; }

    void ListFiles(const QString&, const FileVisitor&) override {}
    FileTimes GetFileTimes(const QString&) override { return {}; }
    qint64 FileSize(const QString&) override { throw Unused(); }
    QByteArray ReadFile(const QString&) override { throw Unused(); }
    bool IsExistingFile(const QString&) override { return false; }
    bool FileExistsByDate(const QString&) override { return false; }
    void CopyFile(const QString&, const QString&, const std::function<void()>&) override { throw Unused(); }
    std::unique_ptr<PreparedCopy> PrepareCopy(const QString&, const QString&, const std::function<void()>&) override
    {
        throw Unused();
    }
    void DeleteFile(const QString&) override { throw Unused(); }
    std::unique_ptr<TextFileWriter> CreateTextFile(const QString&) override { throw Unused(); }
    void MoveToTrash(const QString&) override { throw Unused(); }

    std::map<QString, Folder> folders;

private:
    const Folder& Find(const QString& path) const
    {
        const auto it = folders.find(path);
        if (it == folders.end())
            throw Failure(ErrorNumber::PathNotFound, QStringLiteral("No such file or directory"));
        return it->second;
    }
    static Failure Unused() { return Failure(ErrorNumber::PathFileAccessError, QStringLiteral("unused")); }
};

// Records what the expansion reports; abandons the walk on request.
class RecordingObserver : public WalkObserver {
public:
    bool Abandoned() const override { return abandoned; }
    void ReportFailure(const char* locationTag, int step, const QString& description) override
    {
        failures.push_back({QString::fromUtf8(locationTag), step, description});
    }

    struct Reported {
        QString tag;
        int step;
        QString description;
    };
    bool abandoned = false;
    std::vector<Reported> failures;
};
