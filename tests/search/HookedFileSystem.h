#pragma once

#include "app/core/Failure.h"
#include "app/core/FolderReading.h"
#include "app/platform/PosixFileSystem.h"

#include <QString>

#include <functional>
#include <memory>
#include <string_view>

// The real file system with a hook before each folder listing (given the
// folder without a trailing separator, called on the search's worker
// thread), an optional failure for one folder's listing, and the choice to
// report every creation time as unreadable. With a hook before the statuses
// of a folder's files, the walk reads folders as the real file system does
// (a large folder's statuses in batches on several readers), the hook given
// each batch's first file.
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
    // With renames off, a move copies as across file systems, and so lets events through.
    std::optional<CopyDone> RenameFile(const QString& source, const QString& target) override
    {
        return renames ? PosixFileSystem::RenameFile(source, target) : std::nullopt;
    }
    std::unique_ptr<FolderReading> StartFolderReading(const QStringList& startFolders) override
    {
        if (beforeStatus)
            return std::make_unique<HookedReading>(PosixFileSystem::StartFolderReading(startFolders), *this);
        return FileSystem::StartFolderReading(startFolders);
    }

    std::function<void(const QString& folderPath)> beforeListFiles;
    std::function<void(std::string_view file)> beforeStatus;
    QString failingFolder;
    int failingNumber = 0;
    bool noBirthTimes = false;
    bool renames = true;

private:
    class HookedReading : public FolderReading {
    public:
        HookedReading(std::unique_ptr<FolderReading> real, HookedFileSystem& hooks)
            : m_real(std::move(real)), m_hooks(hooks)
        {
        }
        void Read(std::string_view utf8Path, Lists lists, bool withFiles, FolderListing& listing) override
        {
            if (m_hooks.beforeListFiles)
                m_hooks.beforeListFiles(QString::fromUtf8(utf8Path.data(), qsizetype(utf8Path.size())).chopped(1));
            m_real->Read(utf8Path, lists, withFiles, listing);
        }
        void ReadStatuses(FolderListing& listing, size_t first, size_t last) override
        {
            for (size_t file = first; file < last; ++file)
                m_hooks.beforeStatus(listing.FileName(file));
            m_real->ReadStatuses(listing, first, last);
        }
        void Finish(FolderListing& listing) override { m_real->Finish(listing); }

    private:
        const std::unique_ptr<FolderReading> m_real;
        HookedFileSystem& m_hooks;
    };
};
