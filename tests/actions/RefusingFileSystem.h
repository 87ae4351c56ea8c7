#pragma once

#include "app/Failure.h"
#include "app/platform/PosixFileSystem.h"

#include <QSet>
#include <QString>

#include <cerrno>
#include <functional>

// The real file system, with chosen paths refused by the copy, the deletion
// or the trash, paths in a folder the user may not search, and hooks run
// before each copy and after each of its chunks (on the copy's thread, as
// another program would change files).
class RefusingFileSystem : public PosixFileSystem {
public:
    QSet<QString> refuseCopyFrom;
    QSet<QString> refuseDelete;
    QSet<QString> refuseTrash;
    QSet<QString> unsearchable;
    std::function<void(const QString& source)> beforeCopy;
    std::function<void(const QString& source)> betweenCopyChunks;

    CopyDone CopyFileStamped(const QString& source, const QString& target, const std::function<void()>& betweenChunks,
                             const std::function<void()>& beforeNaming) override
    {
        if (beforeCopy)
            beforeCopy(source);
        if (refuseCopyFrom.contains(source))
            throw FailureFromErrno(ENOSPC);
        return PosixFileSystem::CopyFileStamped(source, target, [&] {
            if (betweenCopyChunks)
                betweenCopyChunks(source);
            betweenChunks();
        }, beforeNaming);
    }
    void DeleteFile(const QString& path) override
    {
        if (refuseDelete.contains(path))
            throw FailureFromErrno(EACCES);
        PosixFileSystem::DeleteFile(path);
    }
    void MoveToTrash(const QString& path) override
    {
        if (refuseTrash.contains(path) || unsearchable.contains(path))
            throw FailureFromErrno(EACCES);
        PosixFileSystem::MoveToTrash(path);
    }
    // As for a user without search permission: the time cannot be read.
    bool FileExistsByDate(const QString& path) override
    {
        return !unsearchable.contains(path) && PosixFileSystem::FileExistsByDate(path);
    }
};
