#pragma once

#include "app/core/Failure.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include <QtGlobal>

class FolderReading;

// A file time in seconds since 1970-01-01 00:00 UTC; kNoTime where the file
// system keeps no such time or it could not be read.
constexpr qint64 kNoTime = std::numeric_limits<qint64>::min();

struct FileTimes {
    qint64 modified = kNoTime;
    qint64 created = kNoTime;
    qint64 accessed = kNoTime;
};

// Folder attribute bits, as the search tests them.
namespace FolderAttribute {
constexpr int Hidden = 2;
constexpr int System = 4;
constexpr int Directory = 16;
constexpr int ReparsePoint = 1024;
}  // namespace FolderAttribute

struct FolderInfo {
    int attributes = 0;
    bool isRoot = false;
};

// One sub-folder name. `decodes` is false for a name whose bytes are not valid
// in the file-name encoding; such a name cannot be turned back into a path.
struct SubFolderName {
    QString name;
    bool decodes = true;
};

// What identifies a file (device and inode) and tells whether it changed
// (size, modification and status-change times to the nanosecond).
struct FileStamp {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;

    bool SameFile(const FileStamp& other) const { return device == other.device && inode == other.inode; }
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// A finished copy: the source as the copy read it, where the copy stands
// (under another folder path when its folder was renamed meanwhile), and the
// copy itself, whose identity tells it from any file put at its name later.
struct CopyDone {
    FileStamp source;
    QString copiedTo;
    FileStamp copy;
};

// A complete copy that has no name yet (FileSystem::PrepareCopy). Destroyed
// unnamed, it leaves nothing behind.
class PreparedCopy {
public:
    virtual ~PreparedCopy() = default;
    // The source as the copy read it.
    virtual FileStamp Source() const = 0;
    // Makes the content durable. Copies synced one after another share the
    // work where the file system allows it.
    virtual void Sync() = 0;
    // Gives the copy a name in the folder it was prepared in; never replaces
    // a file (throws 58, and another name may be tried).
    virtual CopyDone Name(const QString& target) = 0;
    // Makes the name durable, shared as Sync is.
    virtual void SyncName() = 0;
};

// A text file being written. The file appears under its name only when Commit
// succeeds; destroying the writer before that leaves any old file as it was.
class TextFileWriter {
public:
    virtual ~TextFileWriter() = default;
    // Appends the text and CR LF.
    virtual void WriteLine(const QString& text) = 0;
    virtual void Commit() = 0;
};

// Every disk access of the program. Failures are thrown as Failure, with 70
// for a denied access and 76 for a missing path. Implementations are safe to
// call from the search's worker thread.
class FileSystem {
public:
    // Called for each file a listing finds: its name as UTF-8 and its times.
    using FileVisitor = std::function<void(std::string_view utf8Name, const FileTimes& times)>;

    virtual ~FileSystem() = default;

    // Attributes of a folder: directory, hidden for a dot name, hidden and
    // system for the mount point of a pseudo file system, reparse point for a
    // symbolic link; isRoot for "/". Throws when the folder cannot be opened.
    virtual FolderInfo GetFolder(const QString& path) = 0;
    // The real sub-folders of a folder (never symbolic links), in the file
    // system's order, "." and ".." left out.
    virtual std::vector<SubFolderName> SubFolders(const QString& path) = 0;
    // Visits each regular file directly in the folder, hidden files included,
    // in the file system's order, with one status query per file. Names that
    // do not decode, links and special files are passed over.
    virtual void ListFiles(const QString& folderPath, const FileVisitor& visit) = 0;
    // SubFolders and ListFiles in one reading of the folder, for the search's
    // walk. A failure to read the folder is thrown before any file is visited.
    virtual void ListFolder(const QString& path, std::vector<SubFolderName>& subFolders, const FileVisitor& visit)
    {
        subFolders = SubFolders(path);
        ListFiles(path, visit);
    }
    // Starts the reading of folders for one walk of the start folders and all
    // folders below them. The default reads through GetFolder and ListFolder.
    virtual std::unique_ptr<FolderReading> StartFolderReading(const QStringList& startFolders);
    // The three times of one file; all kNoTime when the file cannot be read.
    virtual FileTimes GetFileTimes(const QString& path) = 0;
    // Size in bytes of a regular file; throws when it cannot be read.
    virtual qint64 FileSize(const QString& path) = 0;
    // The whole content of a small regular file (a skin, a pointer picture);
    // throws when it cannot be read or is no regular file.
    virtual QByteArray ReadFile(const QString& path) = 0;

    // A regular file (not a folder, link or special file) at the path.
    virtual bool IsExistingFile(const QString& path) = 0;
    // A folder at the path (a link to a folder counts).
    virtual bool IsExistingFolder(const QString& path) = 0;
    // The path has a readable modification time.
    virtual bool FileExistsByDate(const QString& path) = 0;

    // Copies content (holes kept), extended attributes, permission bits,
    // modification and access times and, for root, owner and group into an
    // unnamed or temporary file in the target's folder, then gives it the
    // target's name. Never replaces an existing target (throws 58 instead) and
    // never leaves a partial file. betweenChunks runs between chunks of a
    // large file, on the calling thread.
    virtual void CopyFile(const QString& source, const QString& target,
                          const std::function<void()>& betweenChunks) = 0;
    // CopyFile from one open descriptor of the source, returning the source's
    // stamp as that descriptor showed it when the copy began. beforeNaming
    // runs once the content is complete and durable, before the copy gets its
    // name; a throw from it or betweenChunks leaves nothing behind.
    virtual CopyDone CopyFileStamped(const QString& source, const QString& target,
                                     const std::function<void()>& betweenChunks,
                                     const std::function<void()>& beforeNaming)
    {
        const FileStamp stamp = StampOf(source);
        CopyFile(source, target, betweenChunks);
        if (beforeNaming)
            beforeNaming();
        return {stamp, target, StampOf(target)};
    }
    // CopyFileStamped in steps, for many files made durable together: the
    // content copied into the target's folder, then Sync, Name and SyncName
    // of the returned copy.
    virtual std::unique_ptr<PreparedCopy> PrepareCopy(const QString& source, const QString& target,
                                                      const std::function<void()>& betweenChunks) = 0;
    // Gives the regular file at source the target's path inside one file
    // system, never replacing a file there (throws 58, and another name may be
    // tried); returns the file as it stands at the target. Nothing when the
    // two lie on different file systems or the file system has no such rename:
    // the caller copies instead. The default never renames.
    virtual std::optional<CopyDone> RenameFile(const QString& source, const QString& target)
    {
        Q_UNUSED(source);
        Q_UNUSED(target);
        return std::nullopt;
    }
    // The stamp of the file at the path itself (a link is not followed);
    // throws when there is none.
    virtual FileStamp StampOf(const QString& path)
    {
        throw Failure(ErrorNumber::PathFileAccessError, QStringLiteral("No stamp for %1").arg(path));
    }
    // The stamp of the folder the path leads to (links followed), so that two
    // paths of one folder compare equal; throws when there is none.
    virtual FileStamp FolderStampOf(const QString& path)
    {
        throw Failure(ErrorNumber::PathFileAccessError, QStringLiteral("No stamp for %1").arg(path));
    }
    // Whether the file at path still holds what its copy holds, where the
    // stamps of its file system cannot show every change (FAT and exFAT keep
    // no change time and coarse modification times): then the bytes of the
    // two are compared. True at once where the stamps suffice; throws when
    // either cannot be read.
    virtual bool SameContentAsCopy(const QString& path, const CopyDone& copy)
    {
        Q_UNUSED(path);
        Q_UNUSED(copy);
        return true;
    }
    // Deletes one file, read-only files included.
    virtual void DeleteFile(const QString& path) = 0;
    // Starts writing a text file (UTF-8, no byte-order mark) that replaces any
    // file at the path when committed.
    virtual std::unique_ptr<TextFileWriter> CreateTextFile(const QString& path) = 0;
    // Moves a file to the desktop's trash.
    virtual void MoveToTrash(const QString& path) = 0;
    // Puts the file that the trash took from originalPath between the two
    // times (seconds since 1970, UTC) back at that path. Never replaces a
    // file now at the path (throws 58 instead); throws 76 when the trash no
    // longer holds the file.
    virtual void RestoreFromTrash(const QString& originalPath, qint64 trashedFrom, qint64 trashedUntil)
    {
        Q_UNUSED(originalPath);
        Q_UNUSED(trashedFrom);
        Q_UNUSED(trashedUntil);
        throw Failure(ErrorNumber::PathFileAccessError, QStringLiteral("this system's trash cannot give files back"));
    }
};
