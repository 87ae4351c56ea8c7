#pragma once

#include "app/core/Failure.h"
#include "app/platform/PosixFileSystem.h"

#include <QSet>
#include <QString>

#include <cerrno>
#include <functional>

// The real file system, renames turned off if asked, with chosen paths refused by the copy, the deletion
// or the trash, paths in a folder the user may not search, and hooks run
// before each copy, after each of its chunks and after each deletion (on the
// copy's thread, as another program would change files).
class RefusingFileSystem : public PosixFileSystem {
    // A copy whose content the disk refuses to make durable.
    class UnsyncedCopy : public PreparedCopy {
    public:
        explicit UnsyncedCopy(std::unique_ptr<PreparedCopy> copy) : m_copy(std::move(copy)) {}
        FileStamp Source() const override { return m_copy->Source(); }
        void Sync() override { throw FailureFromErrno(EIO); }
        CopyDone Name(const QString& target) override { return m_copy->Name(target); }
        void SyncName() override { m_copy->SyncName(); }

    private:
        std::unique_ptr<PreparedCopy> m_copy;
    };

public:
    QSet<QString> refuseCopyFrom;
    QSet<QString> refuseDelete;
    QSet<QString> refuseSync;
    QSet<QString> refuseTrash;
    QSet<QString> unsearchable;
    std::function<void(const QString& source)> beforeCopy;
    std::function<void(const QString& source)> betweenCopyChunks;
    std::function<void(const QString& path)> afterDelete;
    // Off: every move copies, as across file systems.
    bool renames = true;

    CopyDone CopyFileStamped(const QString& source, const QString& target, const std::function<void()>& betweenChunks,
                             const std::function<void()>& beforeNaming) override
    {
        BeforeCopy(source);
        return PosixFileSystem::CopyFileStamped(source, target, Hooked(source, betweenChunks), beforeNaming);
    }
    std::unique_ptr<PreparedCopy> PrepareCopy(const QString& source, const QString& target,
                                              const std::function<void()>& betweenChunks) override
    {
        BeforeCopy(source);
        auto copy = PosixFileSystem::PrepareCopy(source, target, Hooked(source, betweenChunks));
        return refuseSync.contains(source) ? std::make_unique<UnsyncedCopy>(std::move(copy)) : std::move(copy);
    }
    std::optional<CopyDone> RenameFile(const QString& source, const QString& target) override
    {
        return renames ? PosixFileSystem::RenameFile(source, target) : std::nullopt;
    }
    void DeleteFile(const QString& path) override
    {
        if (refuseDelete.contains(path))
            throw FailureFromErrno(EACCES);
        PosixFileSystem::DeleteFile(path);
        if (afterDelete)
            afterDelete(path);
    }
    void MoveToTrash(const QString& path) override
    {
        if (refuseTrash.contains(path) || unsearchable.contains(path))
            throw FailureFromErrno(EACCES);
        PosixFileSystem::MoveToTrash(path);
    }
    void BeforeCopy(const QString& source)
    {
        if (beforeCopy)
            beforeCopy(source);
        if (refuseCopyFrom.contains(source))
            throw FailureFromErrno(ENOSPC);
    }
    std::function<void()> Hooked(const QString& source, const std::function<void()>& betweenChunks)
    {
        return [this, source, betweenChunks] {
            if (betweenCopyChunks)
                betweenCopyChunks(source);
            betweenChunks();
        };
    }
    // As for a user without search permission: the time cannot be read.
    bool FileExistsByDate(const QString& path) override
    {
        return !unsearchable.contains(path) && PosixFileSystem::FileExistsByDate(path);
    }
};
