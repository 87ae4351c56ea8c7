#pragma once

#include "app/core/Failure.h"
#include "app/core/FileSystem.h"
#include "app/core/FolderListing.h"

#include <cerrno>
#include <cstdint>
#include <string_view>
#include <utility>

#include <dirent.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

// The status query that answers both "is this a file" and its times.
constexpr unsigned int kTimesMask = STATX_TYPE | STATX_MTIME | STATX_ATIME | STATX_BTIME;

inline bool Status(int dirFd, const char* path, int flags, unsigned int mask, struct statx& status)
{
    return statx(dirFd, path, flags | AT_NO_AUTOMOUNT, mask, &status) == 0;
}

// What a folder's path (without trailing separators) tells of it: whether it
// is the root, and hidden when its name starts with a dot.
inline FolderInfo FolderInfoOfPath(std::string_view path)
{
    FolderInfo info;
    info.isRoot = path == "/";
    info.attributes = FolderAttribute::Directory;
    const size_t name = path.rfind('/') + 1;
    if (name < path.size() && path[name] == '.')
        info.attributes |= FolderAttribute::Hidden;
    return info;
}

// The status of a folder that is looked at by its path (a link to a folder,
// or one that cannot be opened): follows one link, marks the folder a
// reparse point when it is reached through one, throws unless it is a folder.
inline struct statx FolderStatusByPath(const char* path, FolderInfo& info)
{
    struct statx link {};
    if (!Status(AT_FDCWD, path, AT_SYMLINK_NOFOLLOW, STATX_TYPE, link))
        throw FailureFromErrno(errno);
    struct statx status = link;
    if (S_ISLNK(link.stx_mode) && !Status(AT_FDCWD, path, 0, STATX_TYPE, status))
        throw FailureFromErrno(errno);
    if (!S_ISDIR(status.stx_mode))
        throw FailureFromErrno(ENOTDIR);
    if (S_ISLNK(link.stx_mode))
        info.attributes |= FolderAttribute::ReparsePoint;
    return status;
}

inline FileTimes TimesOf(const struct statx& status)
{
    FileTimes times;
    if (status.stx_mask & STATX_MTIME)
        times.modified = static_cast<qint64>(status.stx_mtime.tv_sec);
    if (status.stx_mask & STATX_ATIME)
        times.accessed = static_cast<qint64>(status.stx_atime.tv_sec);
    // ext4 reports a zero birth time for files made before it kept them.
    if ((status.stx_mask & STATX_BTIME) && (status.stx_btime.tv_sec != 0 || status.stx_btime.tv_nsec != 0))
        times.created = static_cast<qint64>(status.stx_btime.tv_sec);
    return times;
}

// The entries of an open folder, read in large blocks with getdents64,
// without the extra status and flag queries of a directory stream. Owns and
// closes the descriptor.
class FolderEntries {
public:
    explicit FolderEntries(int fd) : m_fd(fd) {}
    ~FolderEntries()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    FolderEntries(const FolderEntries&) = delete;
    FolderEntries& operator=(const FolderEntries&) = delete;

    int Fd() const { return m_fd; }
    // Hands the descriptor over to the caller.
    int Release() { return std::exchange(m_fd, -1); }

    // visit(name, type) for each entry but "." and "..". A read error is thrown.
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
                const Entry* entry = EntryAt(offset);
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

    const Entry* EntryAt(long offset) const { return reinterpret_cast<const Entry*>(m_buffer + offset); }
    static bool IsDotOrDotDot(const char* name)
    {
        return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
    }

    int m_fd;
    alignas(8) char m_buffer[32768];
};

// Reads the open folder into the listing: its sub-folders (never links) and,
// with withFiles, its regular files with their times, one status query per
// file; entries whose type the listing does not tell get one at once. With
// deferStatuses the files the listing types as regular are left pending and
// the folder stays open in listing.openFolder (when any is pending), so that
// their statuses can be asked by several threads; else the descriptor is
// closed. A failed reading keeps none of the files.
inline void ReadEntries(int fd, bool withFiles, FolderListing& listing, bool deferStatuses = false)
{
    FolderEntries folder(fd);
    try {
        folder.ForEach([&](const char* name, unsigned char type) {
            if (type == DT_DIR) {
                listing.AddSubFolder(name);
                return;
            }
            if (type != DT_UNKNOWN && (type != DT_REG || !withFiles))
                return;
            if (type == DT_REG && deferStatuses) {
                listing.AddPendingFile(name);
                return;
            }
            struct statx status;
            if (!Status(fd, name, AT_SYMLINK_NOFOLLOW, withFiles ? kTimesMask : STATX_TYPE, status))
                return;
            if (S_ISDIR(status.stx_mode))
                listing.AddSubFolder(name);
            else if (S_ISREG(status.stx_mode) && withFiles)
                listing.AddFile(name, TimesOf(status));
        });
    } catch (...) {
        listing.ClearFiles();
        throw;
    }
    if (listing.HasPendingFiles())
        listing.openFolder = folder.Release();
}
