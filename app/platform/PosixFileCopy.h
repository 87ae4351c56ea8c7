#pragma once

#include "app/core/FileSystem.h"

#include <QString>

#include <functional>

// The means a copy may use. Each is tried first and given up where the file
// system refuses it; tests turn them off to take the fallbacks on any file
// system.
struct CopyMeans {
    bool clone = true;            // FICLONE: share the source's extents
    bool copyRange = true;        // copy_file_range: copy inside the kernel
    bool unnamedFile = true;      // O_TMPFILE, linked into place
    bool exclusiveRename = true;  // renameat2 with RENAME_NOREPLACE
    bool hardLink = true;         // link the temporary name to the target name
};

// Copies one regular file from one open descriptor into the target's folder,
// keeping holes, extended attributes, the permission bits, modification and
// access times and, for root, the owner and group. The content is complete
// and synced before the copy gets the target's name, which it takes without
// ever replacing a file (throws 58 instead); a failure or a throw from a
// callback leaves nothing behind.
CopyDone CopyRegularFile(const QString& source, const QString& target, const std::function<void()>& betweenChunks,
                         const std::function<void()>& beforeNaming, const CopyMeans& means = {});
