#include "app/platform/RenameWithoutReplacing.h"

#include "app/platform/PosixDescriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

int RenameWithoutReplacing(int fromFolder, const char* from, int toFolder, const char* to, bool exclusiveRename,
                           bool hardLink, const char* reservingAs)
{
    if (exclusiveRename) {
        if (::renameat2(fromFolder, from, toFolder, to, RENAME_NOREPLACE) == 0)
            return 0;
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            return errno;
    }
    if (hardLink) {
        if (::linkat(fromFolder, from, toFolder, to, 0) == 0) {
            ::unlinkat(fromFolder, from, 0);
            return 0;
        }
        if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS && errno != EMLINK)
            return errno;
    }
    // The file waits under reservingAs only while the name is free, so that
    // an empty file at the name beside it is its reservation.
    const char* const temporary = from;
    if (reservingAs != nullptr) {
        if (::faccessat(toFolder, to, F_OK, AT_SYMLINK_NOFOLLOW) == 0)
            return EEXIST;
        if (::renameat(fromFolder, temporary, fromFolder, reservingAs) == 0)
            from = reservingAs;
    }
    const auto waitNoLonger = [&] {
        if (from != temporary)
            ::renameat(fromFolder, from, fromFolder, temporary);
    };
    const Descriptor reservation(::openat(toFolder, to, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (reservation.Get() < 0) {
        const int error = errno;
        waitNoLonger();
        return error;
    }
    if (::renameat(fromFolder, from, toFolder, to) != 0) {
        const int error = errno;
        ::unlinkat(toFolder, to, 0);
        waitNoLonger();
        return error;
    }
    return 0;
}
