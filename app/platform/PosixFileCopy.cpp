#include "app/platform/PosixFileCopy.h"

#include "app/core/Failure.h"
#include "app/platform/AbandonedCopies.h"
#include "app/platform/PosixDescriptor.h"
#include "app/platform/PosixFileSystem.h"
#include "app/platform/PosixMountTable.h"
#include "app/platform/RenameWithoutReplacing.h"
#include "app/platform/SharedSync.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <memory>
#include <optional>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {
constexpr off_t kCopyChunk = 1 << 20;
constexpr long kExfatMagic = 0x2011BAB0;
// FAT keeps a file's size in 32 bits.
constexpr off_t kFatLargestFile = 0xFFFFFFFF;

QByteArray Encoded(const QString& path)
{
    return QFile::encodeName(path);
}

[[noreturn]] void ThrowErrno()
{
    throw FailureFromErrno(errno);
}

FileStamp StampFrom(const struct stat& status)
{
    const auto nanoseconds = [](const struct timespec& time) {
        return static_cast<qint64>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
    };
    return {static_cast<quint64>(status.st_dev), static_cast<quint64>(status.st_ino),
            static_cast<qint64>(status.st_size), nanoseconds(status.st_mtim), nanoseconds(status.st_ctim)};
}

FileStamp StampOfDescriptor(int fd)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        ThrowErrno();
    return StampFrom(status);
}

Failure NameRefused()
{
    return Failure(ErrorNumber::PathFileAccessError,
                   QStringLiteral("The target folder's file system cannot hold this name"));
}

// Characters FAT and exFAT refuse in a name, and a trailing dot or blank they drop.
bool FatCannotHold(const QByteArray& name)
{
    const bool badCharacter = std::any_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || std::strchr("\"*/:<>?\\|", c) != nullptr;
    });
    return badCharacter || name.endsWith('.') || name.endsWith(' ');
}

// A failure to give a file a name in the folder; a name the file system
// rejects is said so. FAT and exFAT in user space refuse one with EPERM or
// ENOENT, which for a folder still there means the name.
[[noreturn]] void ThrowNaming(int error, const QByteArray& name, int folderFd)
{
    struct stat folder {};
    const bool refused = error == EINVAL || error == EILSEQ
        || ((error == EPERM || error == ENOENT) && FatCannotHold(name) && ::fstat(folderFd, &folder) == 0
            && folder.st_nlink > 0);
    if (refused)
        throw NameRefused();
    throw FailureFromErrno(error);
}

// Refuses at once a name the kernel's FAT or exFAT could not hold.
void CheckNameFits(int folderFd, const QByteArray& name)
{
    struct statfs fileSystem {};
    if (::fstatfs(folderFd, &fileSystem) != 0)
        return;
    if ((fileSystem.f_type == MSDOS_SUPER_MAGIC || fileSystem.f_type == kExfatMagic) && FatCannotHold(name))
        throw NameRefused();
}

// Whether a change to a file shows in its stamps. FAT and exFAT keep no
// change time and coarse modification times, and a file system in user space
// (FAT and exFAT are reached so) keeps whatever stamps its driver gives.
bool StampsShowChanges(int fd)
{
    struct statfs fileSystem {};
    if (::fstatfs(fd, &fileSystem) != 0)
        return false;
    return fileSystem.f_type != MSDOS_SUPER_MAGIC && fileSystem.f_type != kExfatMagic
        && fileSystem.f_type != FUSE_SUPER_MAGIC;
}

// The FAT file system in user space (fusefat) holds the folder: the type of
// the last mount over its path says so, as FUSE's own type tells nothing.
bool IsFuseFat(int folderFd)
{
    char folder[PATH_MAX];
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(folderFd);
    const ssize_t length = ::readlink(self.constData(), folder, sizeof folder - 1);
    if (length <= 0)
        return false;
    const std::string path(folder, static_cast<size_t>(length));
    std::string type;
    size_t longest = 0;
    for (const MountPoint& mount : ReadMountTable()) {
        const bool holds = path == mount.path || mount.path == "/"
            || (path.starts_with(mount.path) && path[mount.path.size()] == '/');
        if (holds && mount.path.size() >= longest) {
            longest = mount.path.size();
            type = mount.type;
        }
    }
    return type == "fuse.fusefat";
}

// Refuses at once a file larger than FAT can hold, before any copying.
void CheckSizeFits(int folderFd, off_t size)
{
    struct statfs fileSystem {};
    if (size <= kFatLargestFile || ::fstatfs(folderFd, &fileSystem) != 0)
        return;
    if (fileSystem.f_type == MSDOS_SUPER_MAGIC || (fileSystem.f_type == FUSE_SUPER_MAGIC && IsFuseFat(folderFd)))
        throw Failure(ErrorNumber::PathFileAccessError,
                      QStringLiteral("The target folder's FAT file system cannot hold a file of 4 GiB or more"));
}

// The copy under construction in the target folder: an unnamed file where the
// file system allows one, else a hidden temporary name that tells its owner
// (once the temporaries that killed owners left in the folder are removed).
// Unless it was named, it is gone when this object is.
class CopyUnderConstruction {
public:
    CopyUnderConstruction(int folderFd, const QByteArray& targetName, const CopyMeans& means)
        : m_folderFd(folderFd), m_means(means)
    {
        if (means.unnamedFile) {
            m_fd = ::openat(folderFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
            if (m_fd >= 0)
                return;
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
                ThrowErrno();
        }
        RemoveAbandonedCopies(folderFd);
        for (int attempt = 0; attempt < 100; ++attempt) {
            m_temporaryName = TemporaryName(targetName);
            m_fd = ::openat(folderFd, m_temporaryName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (m_fd >= 0 || errno != EEXIST)
                break;
        }
        if (m_fd < 0)
            ThrowNaming(errno, targetName, folderFd);
    }
    ~CopyUnderConstruction()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_named && !m_temporaryName.isEmpty())
            ::unlinkat(m_folderFd, m_temporaryName.constData(), 0);
    }
    CopyUnderConstruction(const CopyUnderConstruction&) = delete;
    CopyUnderConstruction& operator=(const CopyUnderConstruction&) = delete;

    int Fd() const { return m_fd; }

    // Gives the copy its name; never replaces an existing file. A name
    // refused leaves the copy to be named again.
    void Name(const QByteArray& name)
    {
        if (m_temporaryName.isEmpty()) {
            const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
            if (::linkat(AT_FDCWD, self.constData(), m_folderFd, name.constData(), AT_SYMLINK_FOLLOW) != 0)
                ThrowNaming(errno, name, m_folderFd);
        } else {
            const QByteArray reservingAs = ReservingName(name);
            if (const int error = RenameWithoutReplacing(
                    m_folderFd, m_temporaryName.constData(), m_folderFd, name.constData(), m_means.exclusiveRename,
                    m_means.hardLink, reservingAs.isEmpty() ? nullptr : reservingAs.constData()))
                ThrowNaming(error, name, m_folderFd);
        }
        m_named = true;
    }

    // Takes the name given back, while it still names this copy.
    void Unname(const QByteArray& name)
    {
        struct stat named {};
        struct stat mine {};
        if (::fstatat(m_folderFd, name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(m_fd, &mine) == 0
            && named.st_ino == mine.st_ino && named.st_dev == mine.st_dev)
            ::unlinkat(m_folderFd, name.constData(), 0);
        m_named = false;
    }

private:
    int m_folderFd;
    CopyMeans m_means;
    int m_fd = -1;
    QByteArray m_temporaryName;
    bool m_named = false;
};

void WriteAllAt(int fd, const char* data, size_t size, off_t offset)
{
    while (size > 0) {
        const ssize_t written = ::pwrite(fd, data, size, offset);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno();
        }
        data += written;
        size -= static_cast<size_t>(written);
        offset += written;
    }
}

// Copies the bytes [start, end) to the same offsets, in the kernel where it
// can, else by reading and writing. Stops early when the source shrank.
class RangeCopier {
public:
    RangeCopier(int from, int to, bool copyRange, const std::function<void()>& betweenChunks)
        : m_from(from), m_to(to), m_copyRange(copyRange), m_betweenChunks(betweenChunks)
    {
    }

    void Copy(off_t start, off_t end)
    {
        off_t offset = start;
        while (offset < end) {
            const size_t want = static_cast<size_t>(std::min(kCopyChunk, end - offset));
            const ssize_t count = m_copyRange ? CopyInKernel(offset, want) : ReadAndWrite(offset, want);
            if (count < 0)
                continue;  // interrupted, or switched to reading and writing
            if (count == 0)
                return;
            offset += count;
            if (m_betweenChunks)
                m_betweenChunks();
        }
    }

private:
    ssize_t CopyInKernel(off_t offset, size_t want)
    {
        loff_t in = offset;
        loff_t out = offset;
        const ssize_t count = ::copy_file_range(m_from, &in, m_to, &out, want, 0);
        if (count >= 0)
            return count;
        if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)
            m_copyRange = false;
        else if (errno != EINTR)
            ThrowErrno();
        return -1;
    }

    ssize_t ReadAndWrite(off_t offset, size_t want)
    {
        m_buffer.resize(static_cast<size_t>(kCopyChunk));
        const ssize_t count = ::pread(m_from, m_buffer.data(), want, offset);
        if (count < 0) {
            if (errno != EINTR)
                ThrowErrno();
            return -1;
        }
        WriteAllAt(m_to, m_buffer.data(), static_cast<size_t>(count), offset);
        return count;
    }

    int m_from;
    int m_to;
    bool m_copyRange;
    const std::function<void()>& m_betweenChunks;
    std::vector<char> m_buffer;
};

// Copies the first `size` bytes: by a clone where the file system shares
// extents, else the data segments only, so holes stay holes.
void CopyContent(int from, int to, off_t size, const CopyMeans& means, const std::function<void()>& betweenChunks)
{
    if (size > 0 && means.clone && ::ioctl(to, FICLONE, from) == 0) {
        if (betweenChunks)
            betweenChunks();
        return;
    }
    RangeCopier copier(from, to, means.copyRange, betweenChunks);
    off_t position = 0;
    while (position < size) {
        off_t data = ::lseek(from, position, SEEK_DATA);
        off_t hole = size;
        if (data < 0) {
            if (errno == ENXIO)
                break;  // the rest is a hole
            if (errno != EINVAL)
                ThrowErrno();
            data = position;  // the file system cannot tell holes
        } else {
            hole = ::lseek(from, data, SEEK_HOLE);
            if (hole < 0)
                hole = size;
        }
        hole = std::min(hole, size);
        if (data >= hole)
            break;
        copier.Copy(data, hole);
        position = hole;
    }
    // A hole at the end gives the file its length; FAT in user space refuses
    // a truncate, and needs none where the data runs to the end.
    struct stat copied {};
    if (::fstat(to, &copied) != 0)
        ThrowErrno();
    if (copied.st_size != size && ::ftruncate(to, size) != 0)
        ThrowErrno();
}

bool Unsupported(int error)
{
    return error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS || error == EPERM;
}

// Extended attributes as far as the target keeps them and we may set them.
void CopyExtendedAttributes(int from, int to)
{
    const ssize_t length = ::flistxattr(from, nullptr, 0);
    if (length <= 0)
        return;
    std::vector<char> names(static_cast<size_t>(length));
    const ssize_t listed = ::flistxattr(from, names.data(), names.size());
    if (listed <= 0)
        return;
    std::vector<char> value;
    for (const char* name = names.data(); name < names.data() + listed; name += std::strlen(name) + 1) {
        const ssize_t size = ::fgetxattr(from, name, nullptr, 0);
        if (size < 0)
            continue;
        value.resize(static_cast<size_t>(size));
        const ssize_t read = ::fgetxattr(from, name, value.data(), value.size());
        if (read < 0)
            continue;
        if (::fsetxattr(to, name, value.data(), static_cast<size_t>(read), 0) != 0 && !Unsupported(errno)
            && errno != EACCES)
            ThrowErrno();
    }
}

// Owner and group (for root; others keep what they may), then the
// permission bits, best effort where the file system has none, and times.
void CopyAttributes(int from, int to, const struct stat& status)
{
    const uid_t owner = ::geteuid() == 0 ? status.st_uid : static_cast<uid_t>(-1);
    if (::fchown(to, owner, status.st_gid) != 0 && ::geteuid() == 0 && !Unsupported(errno) && errno != EINVAL)
        ThrowErrno();
    CopyExtendedAttributes(from, to);
    if (::fchmod(to, status.st_mode & 07777) != 0 && !Unsupported(errno))
        ThrowErrno();
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    if (::futimens(to, times) != 0 && !Unsupported(errno))
        ThrowErrno();
}

// Where the named copy stands: the target, or, when its folder was renamed
// meanwhile, the same name in the folder's present path.
QString WhereTheCopyStands(const QString& target, int folderFd, const QByteArray& name, const FileStamp& copy)
{
    struct stat status {};
    if (::stat(Encoded(target).constData(), &status) == 0 && StampFrom(status).SameFile(copy))
        return target;
    char folder[PATH_MAX];
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(folderFd);
    const ssize_t length = ::readlink(self.constData(), folder, sizeof folder);
    if (length <= 0 || length >= static_cast<ssize_t>(sizeof folder))
        return target;
    const QByteArray path = QByteArray(folder, length) + '/' + name;
    return ::stat(path.constData(), &status) == 0 && StampFrom(status).SameFile(copy) ? QFile::decodeName(path)
                                                                                       : target;
}

// A complete copy of one regular file, read from one open descriptor, in the
// target's folder under no name yet. Once its content is written it waits to
// be made durable, so that many copies can be synced together.
class PosixPreparedCopy : public PreparedCopy {
public:
    PosixPreparedCopy(const QString& source, const QString& target, const std::function<void()>& betweenChunks,
                      const CopyMeans& means)
        : m_folder(OpenFolderOf(target)), m_copy(m_folder.Get(), NameOf(target), means)
    {
        // Non-blocking, so that a pipe put in the file's place is refused
        // below instead of waited on; reads of a regular file are not affected.
        const Descriptor from(::open(Encoded(source).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (from.Get() < 0 || ::fstat(from.Get(), &m_status) != 0)
            ThrowErrno();
        if (!S_ISREG(m_status.st_mode))
            throw Failure(ErrorNumber::PathFileAccessError, QStringLiteral("Not a regular file"));
        CheckSizeFits(m_folder.Get(), m_status.st_size);
        CopyContent(from.Get(), m_copy.Fd(), m_status.st_size, means, betweenChunks);
        CopyAttributes(from.Get(), m_copy.Fd(), m_status);
        m_copied = StampOfDescriptor(m_copy.Fd());
        if (m_copied.size != m_status.st_size)
            throw Failure(ErrorNumber::DeviceIoError, QStringLiteral("The copy is incomplete"));
        m_contentSync.emplace(m_folder.Get());
    }

    FileStamp Source() const override { return StampFrom(m_status); }

    void Sync() override { m_contentSync->Settle(m_copy.Fd()); }

    CopyDone Name(const QString& target) override
    {
        const QByteArray name = NameOf(target);
        m_copy.Name(name);
        m_nameSync.emplace(m_folder.Get());
        KeepTimes(name);
        return {Source(), WhereTheCopyStands(target, m_folder.Get(), name, m_copied), m_copied};
    }

    void SyncName() override
    {
        if (m_nameSync)
            m_nameSync->Settle(m_folder.Get());
    }

private:
    // Some file systems stamp a file anew as it takes its name (FAT in user
    // space, renaming over the reserved name): the times are checked under
    // the final name and set again there. A copy whose times do not hold is
    // taken back under no name, as it would not be the file it copies.
    void KeepTimes(const QByteArray& name)
    {
        const qint64 modified = m_copied.modifiedNs;
        m_copied = StampOfDescriptor(m_copy.Fd());
        if (m_copied.modifiedNs == modified)
            return;
        const struct timespec times[2] = {m_status.st_atim, m_status.st_mtim};
        if (::futimens(m_copy.Fd(), times) == 0)
            m_copied = StampOfDescriptor(m_copy.Fd());
        if (m_copied.modifiedNs != modified) {
            m_copy.Unname(name);
            throw Failure(ErrorNumber::PathFileAccessError,
                          QStringLiteral("The target folder's file system did not keep the file's times"));
        }
    }

    static int OpenFolderOf(const QString& target)
    {
        const int fd = ::open(Encoded(QFileInfo(target).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            ThrowErrno();
        return fd;
    }

    // The target's name, refused before any copying when it is taken or the
    // file system cannot hold it.
    QByteArray NameOf(const QString& target) const
    {
        const QByteArray name = Encoded(QFileInfo(target).fileName());
        CheckNameFits(m_folder.Get(), name);
        if (::faccessat(m_folder.Get(), name.constData(), F_OK, AT_SYMLINK_NOFOLLOW) == 0)
            throw FailureFromErrno(EEXIST);
        return name;
    }

    Descriptor m_folder;
    CopyUnderConstruction m_copy;
    struct stat m_status {};
    FileStamp m_copied;
    std::optional<SharedSync> m_contentSync;
    std::optional<SharedSync> m_nameSync;
};
}  // namespace

CopyDone CopyRegularFile(const QString& source, const QString& target, const std::function<void()>& betweenChunks,
                         const std::function<void()>& beforeNaming, const CopyMeans& means)
{
    PosixPreparedCopy copy(source, target, betweenChunks, means);
    // The source may be deleted once the copy stands: make the copy durable first.
    copy.Sync();
    if (beforeNaming)
        beforeNaming();
    const CopyDone done = copy.Name(target);
    try {
        copy.SyncName();
    } catch (const Failure&) {
        // The copy stands whole under its name; only its name's durability is in doubt.
    }
    return done;
}

std::unique_ptr<PreparedCopy> PosixFileSystem::PrepareCopy(const QString& source, const QString& target,
                                                           const std::function<void()>& betweenChunks)
{
    return std::make_unique<PosixPreparedCopy>(source, target, betweenChunks, CopyMeans{});
}

bool PosixFileSystem::SameContentAsCopy(const QString& path, const CopyDone& copy)
{
    const Descriptor file(::open(Encoded(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (file.Get() < 0)
        ThrowErrno();
    if (StampsShowChanges(file.Get()))
        return true;
    const Descriptor copied(::open(Encoded(copy.copiedTo).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (copied.Get() < 0)
        ThrowErrno();
    const FileStamp fileStamp = StampOfDescriptor(file.Get());
    const FileStamp copyStamp = StampOfDescriptor(copied.Get());
    if (!fileStamp.SameFile(copy.source) || !copyStamp.SameFile(copy.copy) || fileStamp.size != copyStamp.size)
        return false;
    std::vector<char> mine(static_cast<size_t>(kCopyChunk));
    std::vector<char> theirs(static_cast<size_t>(kCopyChunk));
    for (off_t offset = 0; offset < fileStamp.size;) {
        const ssize_t count = ::pread(file.Get(), mine.data(), mine.size(), offset);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            ThrowErrno();
        if (count == 0)
            return false;  // shrunk meanwhile
        for (ssize_t read = 0; read < count;) {
            const ssize_t more = ::pread(copied.Get(), theirs.data() + read, static_cast<size_t>(count - read),
                                         offset + read);
            if (more < 0 && errno == EINTR)
                continue;
            if (more < 0)
                ThrowErrno();
            if (more == 0)
                return false;
            read += more;
        }
        if (std::memcmp(mine.data(), theirs.data(), static_cast<size_t>(count)) != 0)
            return false;
        offset += count;
    }
    return true;
}

void PosixFileSystem::CopyFile(const QString& source, const QString& target,
                               const std::function<void()>& betweenChunks)
{
    CopyRegularFile(source, target, betweenChunks, {});
}

CopyDone PosixFileSystem::CopyFileStamped(const QString& source, const QString& target,
                                          const std::function<void()>& betweenChunks,
                                          const std::function<void()>& beforeNaming)
{
    return CopyRegularFile(source, target, betweenChunks, beforeNaming);
}

std::optional<CopyDone> PosixFileSystem::RenameFile(const QString& source, const QString& target)
{
    const QByteArray from = Encoded(source);
    const QByteArray to = Encoded(target);
    struct stat status {};
    if (::lstat(from.constData(), &status) != 0)
        ThrowErrno();
    if (!S_ISREG(status.st_mode))
        throw Failure(ErrorNumber::PathFileAccessError, QStringLiteral("Not a regular file"));
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) != 0) {
        // Another file system (or mount), or one without exclusive renames: copy.
        if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)
            return std::nullopt;
        ThrowErrno();
    }
    // The rename is atomic: the file stands under one of its names whatever
    // happens, so nothing needs syncing before the move counts as done.
    struct stat after {};
    const bool seen = ::lstat(to.constData(), &after) == 0 && after.st_ino == status.st_ino;
    const FileStamp moved = StampFrom(seen ? after : status);
    return CopyDone{moved, target, moved};
}

FileStamp PosixFileSystem::StampOf(const QString& path)
{
    struct stat status {};
    if (::lstat(Encoded(path).constData(), &status) != 0)
        ThrowErrno();
    return StampFrom(status);
}

FileStamp PosixFileSystem::FolderStampOf(const QString& path)
{
    struct stat status {};
    if (::stat(Encoded(path).constData(), &status) != 0)
        ThrowErrno();
    if (!S_ISDIR(status.st_mode))
        throw FailureFromErrno(ENOTDIR);
    return StampFrom(status);
}
