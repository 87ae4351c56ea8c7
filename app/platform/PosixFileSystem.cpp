#include "app/platform/PosixFileSystem.h"

#include "app/core/Failure.h"
#include "app/core/FolderListing.h"
#include "app/core/Utf8Bytes.h"
#include "app/platform/PosixDescriptor.h"
#include "app/platform/PosixFolderEntries.h"
#include "app/platform/PosixMountTable.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Reading side: folders, listings, times and existence tests.

namespace {
QByteArray Encoded(const QString& path)
{
    return QFile::encodeName(path);
}

// A folder path as the system takes it, without trailing separators.
QByteArray FolderPath(const QString& path)
{
    QByteArray encoded = Encoded(path);
    while (encoded.size() > 1 && encoded.endsWith('/'))
        encoded.chop(1);
    return encoded;
}

// The folder that GetFolder opened last on this thread, held for the reading
// of the same folder that follows it: like a folder object whose attributes
// are read and then its listing, it costs one path lookup instead of two.
// Any other reading call lets it go.
class OpenedFolder {
public:
    ~OpenedFolder() { Release(); }

    void Hold(QByteArray path, int fd)
    {
        Release();
        m_path = std::move(path);
        m_fd = fd;
    }
    // The held descriptor when it is for this path (the caller closes it), else -1.
    int Take(const QByteArray& path)
    {
        const int fd = m_fd >= 0 && m_path == path ? m_fd : -1;
        if (fd >= 0)
            m_fd = -1;
        Release();
        return fd;
    }
    void Release()
    {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = -1;
        m_path.clear();
    }

private:
    QByteArray m_path;
    int m_fd = -1;
};
thread_local OpenedFolder t_lastOpened;

// Opens a folder for reading, taking the descriptor GetFolder held for it.
int OpenFolder(const QString& path)
{
    const QByteArray encoded = FolderPath(path);
    int fd = t_lastOpened.Take(encoded);
    if (fd < 0)
        fd = open(encoded.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw FailureFromErrno(errno);
    return fd;
}

SubFolderName FolderName(std::string_view name)
{
    const bool decodes = IsUtf8(name);
    const auto size = static_cast<qsizetype>(name.size());
    return {decodes ? QString::fromUtf8(name.data(), size) : QString::fromLatin1(name.data(), size), decodes};
}

// Reads a folder once: its sub-folders (never links) into subFolders, its
// regular files with their times to visit. The whole folder is read before
// the first file is visited, so a read failure is thrown before any.
void ReadFolder(const QString& path, std::vector<SubFolderName>* subFolders, const FileSystem::FileVisitor* visit)
{
    FolderListing listing;
    ReadEntries(OpenFolder(path), visit != nullptr, listing);
    if (subFolders) {
        for (size_t i = 0; i < listing.SubFolderCount(); ++i)
            subFolders->push_back(FolderName(listing.SubFolder(i)));
    }
    if (visit) {
        for (size_t i = 0; i < listing.FileCount(); ++i)
            (*visit)(listing.FileName(i), listing.Times(i));
    }
}

// A mount point of a pseudo file system, by the mount table's entry for the
// folder the path leads to; the table is read only for mount points.
bool IsPseudoFileSystemRoot(const QByteArray& path, const struct statx& status)
{
    if (!(status.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) || !(status.stx_attributes & STATX_ATTR_MOUNT_ROOT))
        return false;
    char real[PATH_MAX];
    if (!realpath(path.constData(), real))
        return false;
    std::string type;
    for (const MountPoint& mount : ReadMountTable()) {
        if (mount.path == real)
            type = mount.type;  // a later mount on the path hides the earlier ones
    }
    return IsPseudoFileSystemType(type);
}
}  // namespace

FolderInfo PosixFileSystem::GetFolder(const QString& path)
{
    const QByteArray encoded = FolderPath(path);
    FolderInfo info = FolderInfoOfPath(std::string_view(encoded.constData(), static_cast<size_t>(encoded.size())));

    // A real folder is opened and held for its listing; a link or a folder
    // that cannot be opened is looked at by its path.
    struct statx status {};
    const int fd = open(encoded.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        if (!Status(fd, "", AT_EMPTY_PATH, STATX_TYPE, status)) {
            const int error = errno;
            close(fd);
            throw FailureFromErrno(error);
        }
        t_lastOpened.Hold(encoded, fd);
    } else {
        t_lastOpened.Release();
        status = FolderStatusByPath(encoded.constData(), info);
    }
    if (!info.isRoot && IsPseudoFileSystemRoot(encoded, status))
        info.attributes |= FolderAttribute::Hidden | FolderAttribute::System;
    return info;
}

std::vector<SubFolderName> PosixFileSystem::SubFolders(const QString& path)
{
    std::vector<SubFolderName> subFolders;
    ReadFolder(path, &subFolders, nullptr);
    return subFolders;
}

void PosixFileSystem::ListFiles(const QString& folderPath, const FileVisitor& visit)
{
    ReadFolder(folderPath, nullptr, &visit);
}

void PosixFileSystem::ListFolder(const QString& path, std::vector<SubFolderName>& subFolders, const FileVisitor& visit)
{
    subFolders.clear();
    ReadFolder(path, &subFolders, &visit);
}

FileTimes PosixFileSystem::GetFileTimes(const QString& path)
{
    t_lastOpened.Release();
    struct statx status {};
    if (!Status(AT_FDCWD, Encoded(path).constData(), AT_SYMLINK_NOFOLLOW, kTimesMask, status))
        return {};
    return TimesOf(status);
}

qint64 PosixFileSystem::FileSize(const QString& path)
{
    t_lastOpened.Release();
    struct statx status {};
    if (!Status(AT_FDCWD, Encoded(path).constData(), AT_SYMLINK_NOFOLLOW, STATX_TYPE | STATX_SIZE, status))
        throw FailureFromErrno(errno);
    if (!S_ISREG(status.stx_mode))
        throw FailureFromErrno(S_ISDIR(status.stx_mode) ? EISDIR : EINVAL);
    return static_cast<qint64>(status.stx_size);
}

QByteArray PosixFileSystem::ReadFile(const QString& path)
{
    constexpr qint64 kLargest = 16 << 20;
    t_lastOpened.Release();
    // Non-blocking, so that a FIFO under the name is refused instead of waited on.
    const Descriptor file(::open(Encoded(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (file.Get() < 0 || ::fstat(file.Get(), &status) != 0)
        throw FailureFromErrno(errno);
    if (!S_ISREG(status.st_mode))
        throw FailureFromErrno(S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
    if (status.st_size > kLargest)
        throw FailureFromErrno(EFBIG);
    QByteArray content(static_cast<qsizetype>(status.st_size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < content.size()) {
        const ssize_t count = ::read(file.Get(), content.data() + done, content.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw FailureFromErrno(errno);
        if (count == 0)
            break;
        done += count;
    }
    content.truncate(done);
    return content;
}

bool PosixFileSystem::IsExistingFile(const QString& path)
{
    t_lastOpened.Release();
    struct statx status {};
    return Status(AT_FDCWD, Encoded(path).constData(), AT_SYMLINK_NOFOLLOW, STATX_TYPE, status)
        && S_ISREG(status.stx_mode);
}

bool PosixFileSystem::IsExistingFolder(const QString& path)
{
    t_lastOpened.Release();
    struct statx status {};
    return !path.isEmpty() && Status(AT_FDCWD, Encoded(path).constData(), 0, STATX_TYPE, status)
        && S_ISDIR(status.stx_mode);
}

bool PosixFileSystem::FileExistsByDate(const QString& path)
{
    t_lastOpened.Release();
    struct statx status {};
    return !path.isEmpty() && Status(AT_FDCWD, Encoded(path).constData(), 0, STATX_MTIME, status)
        && (status.stx_mask & STATX_MTIME);
}
