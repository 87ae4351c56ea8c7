// The desktop's trash. On Linux through GIO, the desktop's own implementation
// of the freedesktop.org trash: the recorded path is percent-encoded, each
// mount has its trash, and nothing is left half-moved. GIO comes before any
// Qt header, as GLib uses "signals" as a name and Qt defines it away.
#ifdef ORVANTA_GIO_TRASH
#include <gio/gio.h>
#endif

#include "app/core/Failure.h"
#include "app/platform/PosixFileSystem.h"

#include <QFile>

#include <cerrno>
#include <optional>

#ifdef ORVANTA_GIO_TRASH
namespace {
// GIO's refusal as the program tells it: the system's text where GIO passes
// on a system error, the real reason where the trash itself cannot take the
// file.
Failure TrashFailure(const GError& error)
{
    if (error.domain == G_IO_ERROR) {
        switch (error.code) {
        case G_IO_ERROR_NOT_FOUND:
            return FailureFromErrno(ENOENT);
        case G_IO_ERROR_PERMISSION_DENIED:
            return FailureFromErrno(EACCES);
        case G_IO_ERROR_READ_ONLY:
            return FailureFromErrno(EROFS);
        case G_IO_ERROR_NO_SPACE:
            return FailureFromErrno(ENOSPC);
        case G_IO_ERROR_FILENAME_TOO_LONG:
            return Failure(ErrorNumber::PathFileAccessError, QStringLiteral("The name is too long for the trash to record"));
        case G_IO_ERROR_NOT_SUPPORTED:
            return Failure(ErrorNumber::PathFileAccessError,
                           QStringLiteral("No trash folder can be made on this file system"));
        default:
            break;
        }
    }
    return Failure(ErrorNumber::PathFileAccessError, QString::fromUtf8(error.message));
}
}  // namespace

void PosixFileSystem::MoveToTrash(const QString& path)
{
    // The file's identity, to find it in the trash afterwards; a path with no
    // file is left to GIO to refuse.
    std::optional<FileStamp> stamp;
    try {
        stamp = StampOf(path);
    } catch (const Failure&) {
    }
    GFile* file = g_file_new_for_path(QFile::encodeName(path).constData());
    GError* error = nullptr;
    const bool trashed = g_file_trash(file, nullptr, &error);
    g_object_unref(file);
    if (trashed) {
        // GIO reports success even where it could not write the trash's record.
        if (stamp)
            CheckTrashRecord(path, *stamp);
        return;
    }
    const Failure failure = TrashFailure(*error);
    g_error_free(error);
    throw failure;
}
#else
void PosixFileSystem::MoveToTrash(const QString& path)
{
    errno = 0;
    if (QFile::moveToTrash(path))
        return;
    if (errno != 0)
        throw FailureFromErrno(errno);
    throw Failure(ErrorNumber::PathFileAccessError, QStringLiteral("The file could not be moved to the trash"));
}
#endif
