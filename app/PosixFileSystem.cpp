#include "app/PosixFileSystem.h"

#include "app/Failure.h"

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

// An open folder whose entries are read in large blocks with getdents64,
// without the extra status and flag queries of a directory stream.
class FolderReader {
public:
    explicit FolderReader(const QString& path)
        : m_fd(open(Encoded(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
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

bool IsPseudoFileSystemRoot(const QByteArray& path, const struct statx& status)
{
    if (!(status.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) || !(status.stx_attributes & STATX_ATTR_MOUNT_ROOT))
        return false;
    struct statfs fileSystem {};
    if (statfs(path.constData(), &fileSystem) != 0)
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
    QByteArray encoded = Encoded(path);
    while (encoded.size() > 1 && encoded.endsWith('/'))
        encoded.chop(1);
    struct statx link {};
    if (!Status(AT_FDCWD, encoded.constData(), AT_SYMLINK_NOFOLLOW, STATX_TYPE, link))
        throw FailureFromErrno(errno);
    struct statx target = link;
    if (S_ISLNK(link.stx_mode) && !Status(AT_FDCWD, encoded.constData(), 0, STATX_TYPE, target))
        throw FailureFromErrno(errno);
    if (!S_ISDIR(target.stx_mode))
        throw FailureFromErrno(ENOTDIR);

    FolderInfo info;
    info.isRoot = encoded == "/";
    info.attributes = FolderAttribute::Directory;
    if (S_ISLNK(link.stx_mode))
        info.attributes |= FolderAttribute::ReparsePoint;
    if (LastName(path).startsWith(QLatin1Char('.')))
        info.attributes |= FolderAttribute::Hidden;
    if (!info.isRoot && IsPseudoFileSystemRoot(encoded, target))
        info.attributes |= FolderAttribute::Hidden | FolderAttribute::System;
    return info;
}

std::vector<SubFolderName> PosixFileSystem::SubFolders(const QString& path)
{
    FolderReader folder(path);
    std::vector<SubFolderName> names;
    folder.ForEach([&](const char* entryName, unsigned char type) {
        if (type == DT_UNKNOWN) {
            struct statx status {};
            if (Status(folder.Fd(), entryName, AT_SYMLINK_NOFOLLOW, STATX_TYPE, status) && S_ISDIR(status.stx_mode))
                type = DT_DIR;
        }
        if (type != DT_DIR)
            return;
        const std::string_view name(entryName);
        const bool decodes = IsUtf8(name);
        const auto size = static_cast<qsizetype>(name.size());
        names.push_back({decodes ? QString::fromUtf8(name.data(), size) : QString::fromLatin1(name.data(), size),
                         decodes});
    });
    return names;
}

void PosixFileSystem::ListFiles(const QString& folderPath, const FileVisitor& visit)
{
    FolderReader folder(folderPath);
    folder.ForEach([&](const char* entryName, unsigned char type) {
        if (type != DT_REG && type != DT_UNKNOWN)
            return;
        const std::string_view name(entryName);
        if (!IsUtf8(name))
            return;
        struct statx status {};
        if (!Status(folder.Fd(), entryName, AT_SYMLINK_NOFOLLOW, kTimesMask, status) || !S_ISREG(status.stx_mode))
            return;
        visit(name, TimesOf(status));
    });
}

FileTimes PosixFileSystem::GetFileTimes(const QString& path)
{
    struct statx status {};
    if (!Status(AT_FDCWD, Encoded(path).constData(), AT_SYMLINK_NOFOLLOW, kTimesMask, status))
        return {};
    return TimesOf(status);
}

qint64 PosixFileSystem::FileSize(const QString& path)
{
    struct statx status {};
    if (!Status(AT_FDCWD, Encoded(path).constData(), AT_SYMLINK_NOFOLLOW, STATX_TYPE | STATX_SIZE, status))
        throw FailureFromErrno(errno);
    if (!S_ISREG(status.stx_mode))
        throw FailureFromErrno(S_ISDIR(status.stx_mode) ? EISDIR : EINVAL);
    return static_cast<qint64>(status.stx_size);
}

bool PosixFileSystem::IsExistingFile(const QString& path)
{
    struct statx status {};
    return Status(AT_FDCWD, Encoded(path).constData(), AT_SYMLINK_NOFOLLOW, STATX_TYPE, status)
        && S_ISREG(status.stx_mode);
}

bool PosixFileSystem::IsExistingFolder(const QString& path)
{
    struct statx status {};
    return !path.isEmpty() && Status(AT_FDCWD, Encoded(path).constData(), 0, STATX_TYPE, status)
        && S_ISDIR(status.stx_mode);
}

bool PosixFileSystem::FileExistsByDate(const QString& path)
{
    struct statx status {};
    return !path.isEmpty() && Status(AT_FDCWD, Encoded(path).constData(), 0, STATX_MTIME, status)
        && (status.stx_mask & STATX_MTIME);
}
