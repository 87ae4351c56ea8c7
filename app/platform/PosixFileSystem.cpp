#include "app/platform/PosixFileSystem.h"

#include "app/Failure.h"
#include "app/platform/PosixDescriptor.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include <dirent.h>
#include <sys/syscall.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

// Reading side: folders, listings, times and existence tests.

namespace {
// File systems that hold no user files; their mount points count as protected
// system folders, so a search of "/" passes over them.
constexpr unsigned long kPseudoFileSystems[] = {
    0x9fa0,      // proc
    0x62656572,  // sysfs
    0x1cd1,      // devpts
    0x27e0eb,    // cgroup
    0x63677270,  // cgroup2
    0x64626720,  // debugfs
    0x74726163,  // tracefs
    0x73636673,  // securityfs
    0x6165676c,  // pstore
    0xcafe4a11,  // bpf
    0x62656570,  // configfs
    0x65735543,  // fusectl
    0x19800202,  // mqueue
    0x958458f6,  // hugetlbfs
    0x0187,      // autofs
    0x42494e4d,  // binfmt_misc
};
constexpr unsigned long kTmpfsMagic = 0x01021994;  // tmpfs, and devtmpfs alike

constexpr unsigned int kTimesMask = STATX_TYPE | STATX_MTIME | STATX_ATIME | STATX_BTIME;

QByteArray Encoded(const QString& path)
{
    return QFile::encodeName(path);
}

// True when the bytes are valid UTF-8, the file-name encoding.
bool IsUtf8(std::string_view bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        // Eight ASCII bytes at a time, the usual case.
        if (end - p >= 8) {
            uint64_t block;
            std::memcpy(&block, p, sizeof block);
            if ((block & 0x8080808080808080ULL) == 0) {
                p += 8;
                continue;
            }
        }
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int extra = 0;
        char32_t code = 0;
        if (c >= 0xc2 && c <= 0xdf) {
            extra = 1;
            code = c & 0x1f;
        } else if (c >= 0xe0 && c <= 0xef) {
            extra = 2;
            code = c & 0x0f;
        } else if (c >= 0xf0 && c <= 0xf4) {
            extra = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= extra)
            return false;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xc0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3f);
        }
        const bool overlong = (extra == 2 && code < 0x800) || (extra == 3 && code < 0x10000);
        if (overlong || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
            return false;
        p += extra + 1;
    }
    return true;
}

qint64 Seconds(const struct statx_timestamp& time)
{
    return static_cast<qint64>(time.tv_sec);
}

FileTimes TimesOf(const struct statx& status)
{
    FileTimes times;
    if (status.stx_mask & STATX_MTIME)
        times.modified = Seconds(status.stx_mtime);
    if (status.stx_mask & STATX_ATIME)
        times.accessed = Seconds(status.stx_atime);
    // ext4 reports a zero birth time for files made before it kept them.
    if ((status.stx_mask & STATX_BTIME) && (status.stx_btime.tv_sec != 0 || status.stx_btime.tv_nsec != 0))
        times.created = Seconds(status.stx_btime);
    return times;
}

bool Status(int dirFd, const char* path, int flags, unsigned int mask, struct statx& status)
{
    return statx(dirFd, path, flags | AT_NO_AUTOMOUNT, mask, &status) == 0;
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

// An open folder whose entries are read in large blocks with getdents64,
// without the extra status and flag queries of a directory stream.
class FolderReader {
public:
    explicit FolderReader(const QString& path)
    {
        const QByteArray encoded = FolderPath(path);
        m_fd = t_lastOpened.Take(encoded);
        if (m_fd < 0)
            m_fd = open(encoded.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fd < 0)
            throw FailureFromErrno(errno);
    }
    ~FolderReader() { close(m_fd); }
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    int Fd() const { return m_fd; }

    // Calls visit(name, type) for each entry but "." and ".."; a read error is thrown.
    template <class Visit>
    void ForEach(Visit&& visit)
    {
        for (;;) {
            const long size = syscall(SYS_getdents64, m_fd, m_buffer, sizeof m_buffer);
            if (size < 0)
                throw FailureFromErrno(errno);
            if (size == 0)
                return;
            for (long offset = 0; offset < size;) {
                const auto* entry = reinterpret_cast<const Entry*>(m_buffer + offset);
                offset += entry->reclen;
                if (!IsDotOrDotDot(entry->name))
                    visit(entry->name, entry->type);
            }
        }
    }

private:
    struct Entry {
        uint64_t inode;
        int64_t offset;
        unsigned short reclen;
        unsigned char type;
        char name[1];
    };

    static bool IsDotOrDotDot(const char* name)
    {
        return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
    }

    int m_fd;
    alignas(8) char m_buffer[32768];
};

SubFolderName FolderName(std::string_view name)
{
    const bool decodes = IsUtf8(name);
    const auto size = static_cast<qsizetype>(name.size());
    return {decodes ? QString::fromUtf8(name.data(), size) : QString::fromLatin1(name.data(), size), decodes};
}

// Reads a folder once: its sub-folders (never links) into subFolders, its
// regular files with their times to visit, one status query per file. The
// whole folder is read before the first file is visited, so a read failure
// is thrown before any.
void ReadFolder(const QString& path, std::vector<SubFolderName>* subFolders, const FileSystem::FileVisitor* visit)
{
    FolderReader folder(path);
    // Buffers borrowed from the thread and given back at the end, so a walk
    // over many folders allocates them once (and a nested call gets its own).
    thread_local std::string spareNames;
    thread_local std::vector<std::pair<size_t, unsigned char>> spareEntries;
    std::string names = std::move(spareNames);
    std::vector<std::pair<size_t, unsigned char>> entries = std::move(spareEntries);
    names.clear();
    entries.clear();
    folder.ForEach([&](const char* name, unsigned char type) {
        const bool wanted = type == DT_UNKNOWN || (type == DT_DIR && subFolders) || (type == DT_REG && visit);
        if (!wanted)
            return;
        entries.emplace_back(names.size(), type);
        names.append(name).push_back('\0');
    });
    for (const auto& [offset, knownType] : entries) {
        const char* name = names.c_str() + offset;
        unsigned char type = knownType;
        struct statx status {};
        if (type == DT_UNKNOWN || type == DT_REG) {
            if (!Status(folder.Fd(), name, AT_SYMLINK_NOFOLLOW, visit ? kTimesMask : STATX_TYPE, status))
                continue;
            type = S_ISDIR(status.stx_mode) ? DT_DIR : S_ISREG(status.stx_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type == DT_DIR && subFolders) {
            subFolders->push_back(FolderName(name));
        } else if (type == DT_REG && visit) {
            const std::string_view fileName(name);
            if (IsUtf8(fileName))
                (*visit)(fileName, TimesOf(status));
        }
    }
    spareNames = std::move(names);
    spareEntries = std::move(entries);
}

// The file system type of a mount point as /proc/self/mountinfo names it.
std::string MountType(const QByteArray& mountPoint)
{
    std::ifstream mounts("/proc/self/mountinfo");
    std::string line;
    while (std::getline(mounts, line)) {
        // Fields: id parent major:minor root mount-point options... - type source super-options
        size_t start = 0;
        for (int field = 0; field < 4 && start != std::string::npos; ++field)
            start = line.find(' ', start + (field ? 1 : 0));
        if (start == std::string::npos)
            continue;
        const size_t end = line.find(' ', start + 1);
        std::string point = line.substr(start + 1, end - start - 1);
        for (size_t escape = point.find('\\'); escape != std::string::npos && escape + 3 < point.size();
             escape = point.find('\\', escape + 1))
            point.replace(escape, 4, 1, static_cast<char>(std::stoi(point.substr(escape + 1, 3), nullptr, 8)));
        if (point != mountPoint.toStdString())
            continue;
        const size_t separator = line.find(" - ");
        if (separator == std::string::npos)
            continue;
        const size_t typeEnd = line.find(' ', separator + 3);
        return line.substr(separator + 3, typeEnd - separator - 3);
    }
    return {};
}

bool IsPseudoFileSystemRoot(const QByteArray& path, int fd, const struct statx& status)
{
    if (!(status.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) || !(status.stx_attributes & STATX_ATTR_MOUNT_ROOT))
        return false;
    struct statfs fileSystem {};
    if ((fd >= 0 ? fstatfs(fd, &fileSystem) : statfs(path.constData(), &fileSystem)) != 0)
        return false;
    const auto type = static_cast<unsigned long>(fileSystem.f_type);
    for (unsigned long pseudo : kPseudoFileSystems) {
        if (type == pseudo)
            return true;
    }
    return type == kTmpfsMagic && MountType(path) == "devtmpfs";
}

// The last name of a path, trailing separators ignored.
QString LastName(const QString& path)
{
    qsizetype end = path.size();
    while (end > 0 && path[end - 1] == QLatin1Char('/'))
        --end;
    const qsizetype start = path.lastIndexOf(QLatin1Char('/'), end - 1) + 1;
    return path.mid(start, end - start);
}
}  // namespace

FolderInfo PosixFileSystem::GetFolder(const QString& path)
{
    const QByteArray encoded = FolderPath(path);
    FolderInfo info;
    info.isRoot = encoded == "/";
    info.attributes = FolderAttribute::Directory;
    if (LastName(path).startsWith(QLatin1Char('.')))
        info.attributes |= FolderAttribute::Hidden;

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
        struct statx link {};
        if (!Status(AT_FDCWD, encoded.constData(), AT_SYMLINK_NOFOLLOW, STATX_TYPE, link))
            throw FailureFromErrno(errno);
        status = link;
        if (S_ISLNK(link.stx_mode) && !Status(AT_FDCWD, encoded.constData(), 0, STATX_TYPE, status))
            throw FailureFromErrno(errno);
        if (!S_ISDIR(status.stx_mode))
            throw FailureFromErrno(ENOTDIR);
        if (S_ISLNK(link.stx_mode))
            info.attributes |= FolderAttribute::ReparsePoint;
    }
    if (!info.isRoot && IsPseudoFileSystemRoot(encoded, fd, status))
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
