// Checks the record of a file just trashed, and gives a file back from the
// desktop's trash, in the freedesktop.org layout
// that GIO's g_file_trash writes: the home trash, and the trash at the top of
// each mount. The trash folders are read directly, as GIO's own listing
// (trash:///) needs the desktop's gvfs service, which not every session runs.
// GLib comes before any Qt header, as it uses "signals" as a name.
#ifdef ORVANTA_GIO_TRASH
#include <glib.h>
#endif

#include "app/core/Failure.h"
#include "app/platform/PosixDescriptor.h"
#include "app/platform/PosixFileSystem.h"
#include "app/platform/RenameWithoutReplacing.h"

#include <QFile>

#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef ORVANTA_GIO_TRASH
namespace {
constexpr qsizetype kMaxTrashInfo = 64 * 1024;

// A trash folder; relative paths in its records start from topFolder.
struct TrashFolder {
    QByteArray path;
    QByteArray topFolder;
};

// One record of the trash that names the file looked for.
struct TrashedFile {
    QByteArray name;  // under files/, and with ".trashinfo" under info/
    qint64 deletedAt = 0;
    timespec recordedAt{};  // the record's own time, for two deletions in one second
};

QByteArray Joined(const QByteArray& folder, const QByteArray& name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

QByteArray ParentOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

// The top of the mount that holds folder, found as GIO finds it: the highest
// folder above it on the same device.
QByteArray MountTop(QByteArray folder, dev_t device)
{
    struct stat status {};
    while (folder != "/") {
        const QByteArray parent = ParentOf(folder);
        if (::stat(parent.constData(), &status) != 0 || status.st_dev != device)
            break;
        folder = parent;
    }
    return folder;
}

// The trash folders that may hold a file trashed from path: the home trash and
// the two trash folders the top of its mount may have. The file's folder may
// be gone; its nearest existing ancestor tells the mount.
std::vector<TrashFolder> TrashFoldersFor(const QByteArray& path)
{
    std::vector<TrashFolder> folders{{Joined(g_get_user_data_dir(), "Trash"), {}}};
    QByteArray folder = ParentOf(path);
    struct stat status {};
    while (::stat(folder.constData(), &status) != 0 && folder != "/")
        folder = ParentOf(folder);
    const QByteArray top = MountTop(folder, status.st_dev);
    const QByteArray user = QByteArray::number(::getuid());
    folders.push_back({Joined(top, ".Trash/" + user), top});
    folders.push_back({Joined(top, ".Trash-" + user), top});
    return folders;
}

// Local date and time as the trash records it (2024-03-05T14:05:09), in
// seconds since 1970; -1 when it does not read.
qint64 DeletionTime(const QByteArray& text)
{
    std::tm local{};
    if (std::sscanf(text.constData(), "%4d-%2d-%2dT%2d:%2d:%2d", &local.tm_year, &local.tm_mon, &local.tm_mday,
                    &local.tm_hour, &local.tm_min, &local.tm_sec) != 6)
        return -1;
    local.tm_year -= 1900;
    local.tm_mon -= 1;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

// Reads a record's original path (made absolute) and deletion time; false
// when the record cannot be read or lacks either.
bool ReadRecord(int infoFd, const char* name, const QByteArray& topFolder, QByteArray& path, qint64& deletedAt,
                timespec& recordedAt)
{
    const Descriptor fd(::openat(infoFd, name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    struct stat status {};
    if (fd.Get() < 0 || ::fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > kMaxTrashInfo)
        return false;
    QByteArray content(status.st_size, Qt::Uninitialized);
    if (::read(fd.Get(), content.data(), static_cast<size_t>(content.size())) != content.size())
        return false;
    recordedAt = status.st_mtim;
    bool inGroup = false;
    path.clear();
    deletedAt = -1;
    for (const QByteArray& line : content.split('\n')) {
        if (line.startsWith('['))
            inGroup = line.trimmed() == "[Trash Info]";
        else if (inGroup && line.startsWith("Path="))
            path = QByteArray::fromPercentEncoding(line.mid(5).trimmed());
        else if (inGroup && line.startsWith("DeletionDate="))
            deletedAt = DeletionTime(line.mid(13).trimmed());
    }
    if (!path.isEmpty() && !path.startsWith('/'))
        path = Joined(topFolder, path);
    return !path.isEmpty() && deletedAt >= 0;
}

bool Later(const TrashedFile& a, const TrashedFile& b)
{
    if (a.deletedAt != b.deletedAt)
        return a.deletedAt > b.deletedAt;
    if (a.recordedAt.tv_sec != b.recordedAt.tv_sec)
        return a.recordedAt.tv_sec > b.recordedAt.tv_sec;
    return a.recordedAt.tv_nsec > b.recordedAt.tv_nsec;
}

// The latest record in the trash folder of a file trashed from path within
// the window. GIO names a trashed file after the original, a number put in
// before its first dot when the name is taken, so only records whose names
// begin with that part are read.
bool FindTrashed(const TrashFolder& folder, const QByteArray& path, qint64 from, qint64 until, TrashedFile& found)
{
    DIR* info = ::opendir(Joined(folder.path, "info").constData());
    if (info == nullptr)
        return false;
    const QByteArray baseName = path.mid(path.lastIndexOf('/') + 1);
    const QByteArray stem = baseName.left(baseName.indexOf('.'));
    bool any = false;
    while (const dirent* entry = ::readdir(info)) {
        const QByteArray name(entry->d_name);
        if (!name.startsWith(stem) || !name.endsWith(".trashinfo"))
            continue;
        TrashedFile candidate{name.chopped(10)};
        QByteArray recordedPath;
        if (!ReadRecord(::dirfd(info), entry->d_name, folder.topFolder, recordedPath, candidate.deletedAt,
                        candidate.recordedAt)
            || recordedPath != path || candidate.deletedAt < from || candidate.deletedAt > until)
            continue;
        if (!any || Later(candidate, found))
            found = candidate;
        any = true;
    }
    ::closedir(info);
    return any;
}

// The name GIO gives the number-th file of that name in a trash folder: the
// name itself, then the number put in before its first dot.
QByteArray TrashName(const QByteArray& baseName, int number)
{
    if (number == 1)
        return baseName;
    const qsizetype dot = baseName.indexOf('.');
    const QByteArray suffix = '.' + QByteArray::number(number);
    return dot < 0 ? baseName + suffix : baseName.left(dot) + suffix + baseName.mid(dot);
}
}  // namespace

void PosixFileSystem::CheckTrashRecord(const QString& originalPath, const FileStamp& trashed)
{
    const QByteArray path = QFile::encodeName(originalPath);
    const QByteArray baseName = path.mid(path.lastIndexOf('/') + 1);
    for (const TrashFolder& folder : TrashFoldersFor(path)) {
        // GIO takes the first name whose record is free; the file is the one of the names tried that is ours.
        for (int number = 1;; ++number) {
            const QByteArray name = TrashName(baseName, number);
            const QByteArray filed = Joined(folder.path, "files/" + name);
            const QByteArray recordName = name + ".trashinfo";
            struct stat status {};
            const bool isFiled = ::lstat(filed.constData(), &status) == 0;
            if (!isFiled && ::access(Joined(folder.path, "info/" + recordName).constData(), F_OK) != 0)
                break;
            if (!isFiled || status.st_dev != trashed.device || status.st_ino != trashed.inode)
                continue;
            const Descriptor info(::open(Joined(folder.path, "info").constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            QByteArray recordedPath;
            qint64 deletedAt = 0;
            timespec recordedAt{};
            if (info.Get() >= 0
                && ReadRecord(info.Get(), recordName.constData(), folder.topFolder, recordedPath, deletedAt, recordedAt)
                && recordedPath == path)
                return;
            // Without its record the trash cannot show the file nor give it back: it goes back where it was.
            const int error = RenameWithoutReplacing(AT_FDCWD, filed.constData(), AT_FDCWD, path.constData());
            if (error != 0)
                throw Failure(ErrorNumber::PathFileAccessError,
                              QStringLiteral("The trash took the file but could not record where it came from, and "
                                             "it could not be put back (%1); it is at %2")
                                  .arg(FailureFromErrno(error).Description(), QFile::decodeName(filed)));
            if (info.Get() >= 0)
                ::unlinkat(info.Get(), recordName.constData(), 0);
            throw Failure(ErrorNumber::PathFileAccessError,
                          QStringLiteral("The trash could not record where the file came from (its name may be too "
                                         "long for the record, or the disk full), so it was put back"));
        }
    }
}

void PosixFileSystem::RestoreFromTrash(const QString& originalPath, qint64 trashedFrom, qint64 trashedUntil)
{
    const QByteArray path = QFile::encodeName(originalPath);
    for (const TrashFolder& folder : TrashFoldersFor(path)) {
        TrashedFile trashed;
        if (!FindTrashed(folder, path, trashedFrom, trashedUntil, trashed))
            continue;
        const int error = RenameWithoutReplacing(AT_FDCWD, Joined(folder.path, "files/" + trashed.name).constData(),
                                                 AT_FDCWD, path.constData());
        if (error != 0) {
            if (error == EEXIST)
                throw Failure(ErrorNumber::FileAlreadyExists,
                              QStringLiteral("a file now stands at its original path and was not replaced; "
                                             "it stays in the trash"));
            struct stat status {};
            if (error == ENOENT && ::stat(ParentOf(path).constData(), &status) != 0)
                throw Failure(ErrorNumber::PathFileAccessError,
                              QStringLiteral("its folder no longer exists; it stays in the trash"));
            throw FailureFromErrno(error);
        }
        // The file is back; a record left behind would only show a ghost in the trash.
        ::unlink(Joined(folder.path, "info/" + trashed.name + ".trashinfo").constData());
        return;
    }
    throw Failure(ErrorNumber::PathNotFound, QStringLiteral("it is no longer in the trash"));
}
#else
void PosixFileSystem::RestoreFromTrash(const QString& originalPath, qint64 trashedFrom, qint64 trashedUntil)
{
    FileSystem::RestoreFromTrash(originalPath, trashedFrom, trashedUntil);
}

void PosixFileSystem::CheckTrashRecord(const QString&, const FileStamp&)
{
}
#endif
