#pragma once

#include "app/core/FileSystem.h"

// The file system of a POSIX system, through openat/fdopendir/readdir and statx.
class PosixFileSystem : public FileSystem {
public:
    FolderInfo GetFolder(const QString& path) override;
    std::vector<SubFolderName> SubFolders(const QString& path) override;
    void ListFiles(const QString& folderPath, const FileVisitor& visit) override;
    void ListFolder(const QString& path, std::vector<SubFolderName>& subFolders, const FileVisitor& visit) override;
    std::unique_ptr<FolderReading> StartFolderReading(const QStringList& startFolders) override;
    FileTimes GetFileTimes(const QString& path) override;
    qint64 FileSize(const QString& path) override;
    QByteArray ReadFile(const QString& path) override;
    bool IsExistingFile(const QString& path) override;
    bool IsExistingFolder(const QString& path) override;
    bool FileExistsByDate(const QString& path) override;

    void CopyFile(const QString& source, const QString& target,
                  const std::function<void()>& betweenChunks) override;
    CopyDone CopyFileStamped(const QString& source, const QString& target, const std::function<void()>& betweenChunks,
                             const std::function<void()>& beforeNaming) override;
    std::unique_ptr<PreparedCopy> PrepareCopy(const QString& source, const QString& target,
                                              const std::function<void()>& betweenChunks) override;
    std::optional<CopyDone> RenameFile(const QString& source, const QString& target) override;
    FileStamp StampOf(const QString& path) override;
    FileStamp FolderStampOf(const QString& path) override;
    bool SameContentAsCopy(const QString& path, const CopyDone& copy) override;
    void DeleteFile(const QString& path) override;
    std::unique_ptr<TextFileWriter> CreateTextFile(const QString& path) override;
    void MoveToTrash(const QString& path) override;
    void RestoreFromTrash(const QString& originalPath, qint64 trashedFrom, qint64 trashedUntil) override;

private:
    // Once the trash took the file (identified by trashed) from originalPath:
    // where its record is missing, empty or names another path, puts the file
    // back and throws, as the trash could neither list it nor give it back.
    static void CheckTrashRecord(const QString& originalPath, const FileStamp& trashed);
};
