#pragma once

#include "app/core/FileSystem.h"

#include <atomic>
#include <cerrno>

// Decorates a file system so that chosen calls fail with a chosen system error
// (EACCES gives 70, ENOENT 76, EIO and ENOSPC their own texts). Calls are
// counted from 1 across all threads; a written text file's lines and commit
// count as calls too. Set the plan before the command runs.
class FaultyFileSystem : public FileSystem {
public:
    enum class Calls { All, Changing };

    explicit FaultyFileSystem(FileSystem& inner) : m_inner(inner) {}

    // Fails call number `first` (and every later one when `persistent`) among
    // the calls of the given kind; 0 fails nothing.
    void FailAt(int first, int errorCode, Calls kind = Calls::All, bool persistent = false);
    // Calls counted so far (of the kind the plan counts), and failures thrown.
    int CallCount() const { return m_calls.load(); }
    int FailureCount() const { return m_failures.load(); }

    FolderInfo GetFolder(const QString& path) override;
    std::vector<SubFolderName> SubFolders(const QString& path) override;
    void ListFiles(const QString& folderPath, const FileVisitor& visit) override;
    void ListFolder(const QString& path, std::vector<SubFolderName>& subFolders, const FileVisitor& visit) override;
    FileTimes GetFileTimes(const QString& path) override;
    qint64 FileSize(const QString& path) override;
    QByteArray ReadFile(const QString& path) override;
    bool IsExistingFile(const QString& path) override;
    bool IsExistingFolder(const QString& path) override;
    bool FileExistsByDate(const QString& path) override;
    void CopyFile(const QString& source, const QString& target, const std::function<void()>& betweenChunks) override;
    CopyDone CopyFileStamped(const QString& source, const QString& target, const std::function<void()>& betweenChunks,
                             const std::function<void()>& beforeNaming) override;
    std::unique_ptr<PreparedCopy> PrepareCopy(const QString& source, const QString& target,
                                              const std::function<void()>& betweenChunks) override;
    FileStamp StampOf(const QString& path) override;
    FileStamp FolderStampOf(const QString& path) override;
    void DeleteFile(const QString& path) override;
    std::unique_ptr<TextFileWriter> CreateTextFile(const QString& path) override;
    void MoveToTrash(const QString& path) override;
    void RestoreFromTrash(const QString& originalPath, qint64 trashedFrom, qint64 trashedUntil) override;

    // Counts one call of the kind and throws when the plan says it fails.
    void Call(Calls kind);

private:
    FileSystem& m_inner;
    std::atomic<int> m_first{0};
    std::atomic<int> m_errorCode{EIO};
    std::atomic<Calls> m_counted{Calls::All};
    std::atomic<bool> m_persistent{false};
    std::atomic<int> m_calls{0};
    std::atomic<int> m_failures{0};
};
