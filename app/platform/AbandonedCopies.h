#pragma once

#include <QByteArray>

#include <sys/types.h>

// Where a file system has no unnamed files (FAT, exFAT), a copy is built
// under a hidden temporary name that tells its owner: the process's id, its
// start time and the boot's identity. A temporary whose owner no longer runs
// was abandoned (the program was killed) and may go.

// "<pid>-<start time in clock ticks>-<first 8 hex digits of the boot id>",
// or empty when the process does not run.
QByteArray OwnerOf(pid_t pid);

// ".<name>.<owner>.<random>.part": a temporary for a copy of name by this process.
QByteArray TemporaryName(const QByteArray& name);

// ".<name>.<owner>.<random>.take": the name a complete copy waits under while
// its final name is reserved, so that the empty reservation left by a kill
// can be told from a file of that name. Empty when it would be too long.
QByteArray ReservingName(const QByteArray& name);

// Removes, once per folder in a run, the temporaries that owners no longer
// running left in the folder, and the empty reservation of a waiting copy.
void RemoveAbandonedCopies(int folderFd);
