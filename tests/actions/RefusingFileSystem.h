#pragma once

#include "app/Failure.h"
#include "app/platform/PosixFileSystem.h"

#include <QSet>
#include <QString>

#include <cerrno>
#include <functional>

// The real file system, with chosen paths refused by the copy, the deletion
// or the trash, paths in a folder the user may not search, and a hook run
// before each copy.
class RefusingFileSystem : public PosixFileSystem {
public:
    QSet<QString> refuseCopyFrom;
    QSet<QString> refuseDelete;
    QSet<QString> refuseTrash;
    QSet<QString> unsearchable;
    std::function<void(const QString& source)> beforeCopy;

    void CopyFile(const QString& source, const QString& target, const std::function<void()>& betweenChunks) override
    {
        if (beforeCopy)
            beforeCopy(source);
        if (refuseCopyFrom.contains(source))
            throw FailureFromErrno(ENOSPC);
        PosixFileSystem::CopyFile(source, target, betweenChunks);
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
