#include "app/platform/PosixFolderReading.h"

#include "app/core/FolderListing.h"
#include "app/platform/PosixFileSystem.h"
#include "app/platform/PosixFolderEntries.h"
#include "app/platform/PosixMountTable.h"

#include <QFile>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {
// A folder path as the system takes it: without trailing separators, so that
// a link at the end is not followed.
std::string_view Trimmed(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    return path;
}

// The folder the path leads to, links resolved; the path itself when that fails.
std::string RealPath(const std::string& path)
{
    char real[PATH_MAX];
    return realpath(path.c_str(), real) ? std::string(real) : path;
}

bool IsAtOrBelow(const std::string& path, const std::string& folder)
{
    if (folder == "/")
        return !path.empty() && path.front() == '/';
    return path.compare(0, folder.size(), folder) == 0 && (path.size() == folder.size() || path[folder.size()] == '/');
}
// The type of the file system holding the folder: that of the longest mount point at or above it.
std::string_view HoldingType(const std::map<std::string, std::string>& mounts, const std::string& folder)
{
    std::string_view point, type;
    for (const auto& [mountPoint, mountType] : mounts) {
        if (mountPoint.size() >= point.size() && IsAtOrBelow(folder, mountPoint)) {
            point = mountPoint;
            type = mountType;
        }
    }
    return type;
}
}  // namespace

PosixFolderReading::PosixFolderReading(const QStringList& startFolders)
{
    // A later mount on a path hides the earlier ones there.
    std::map<std::string, std::string> visible;
    for (MountPoint& mount : ReadMountTable())
        visible[std::move(mount.path)] = std::move(mount.type);
    for (const QString& start : startFolders) {
        const std::string spelt(Trimmed(QFile::encodeName(start).toStdString()));
        const std::string real = RealPath(spelt);
        m_roundTrips = m_roundTrips || IsRoundTripFileSystemType(HoldingType(visible, real));
        for (const auto& [point, type] : visible) {
            if (!IsPseudoFileSystemType(type) || !IsAtOrBelow(point, real))
                continue;
            const std::string below = point.substr(real == "/" ? 0 : real.size());
            m_pseudoMountPoints.insert(spelt == "/" ? below : spelt + below);
        }
    }
}

void PosixFolderReading::Read(std::string_view utf8Path, Lists lists, bool withFiles, FolderListing& listing)
{
    // Kept by the thread, so a walk builds no path strings of its own.
    thread_local std::string path;
    path.assign(Trimmed(utf8Path));

    FolderInfo info = FolderInfoOfPath(path);
    if (!info.isRoot && !m_pseudoMountPoints.empty() && m_pseudoMountPoints.count(path))
        info.attributes |= FolderAttribute::Hidden | FolderAttribute::System;

    int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        // A link to a folder (a start folder given through one), or a folder
        // that cannot be opened: looked at by its path.
        FolderStatusByPath(path.c_str(), info);
        listing.info = info;
        if (!lists(info))
            return;
        fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            throw FailureFromErrno(errno);
    } else {
        listing.info = info;
        if (!lists(info)) {
            close(fd);
            return;
        }
    }
    ReadEntries(fd, withFiles, listing, true);
}

void PosixFolderReading::ReadStatuses(FolderListing& listing, size_t first, size_t last)
{
    // statx takes a terminated name; the listing keeps names without one.
    char name[NAME_MAX + 1];
    for (size_t i = first; i < last; ++i) {
        if (!listing.IsPending(i))
            continue;
        const std::string_view fileName = listing.FileName(i);
        if (fileName.size() > NAME_MAX) {
            listing.DropFile(i);
            continue;
        }
        std::memcpy(name, fileName.data(), fileName.size());
        name[fileName.size()] = '\0';
        struct statx status;
        if (Status(listing.openFolder, name, AT_SYMLINK_NOFOLLOW, kTimesMask, status) && S_ISREG(status.stx_mode))
            listing.SetTimes(i, TimesOf(status));
        else
            listing.DropFile(i);
    }
}

void PosixFolderReading::Finish(FolderListing& listing)
{
    if (listing.openFolder >= 0)
        close(std::exchange(listing.openFolder, -1));
    listing.SettleFiles();
}

std::unique_ptr<FolderReading> PosixFileSystem::StartFolderReading(const QStringList& startFolders)
{
    return std::make_unique<PosixFolderReading>(startFolders);
}
