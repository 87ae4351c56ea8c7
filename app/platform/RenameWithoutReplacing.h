#pragma once

// Renames from (in fromFolder) to to (in toFolder), never replacing a file at
// to: an exclusive rename, else a hard link (which fails on an existing name
// too) and the old name removed, else, where the file system has neither
// (FAT, exFAT), the name reserved with O_EXCL and the file renamed over the
// reservation. Returns 0, or the errno of the step that failed. Tests turn the
// first two means off to take the fallbacks on any file system. reservingAs,
// when given, is the name in fromFolder the file waits under while its name
// is reserved, so that a reservation left empty by a kill can be told.
int RenameWithoutReplacing(int fromFolder, const char* from, int toFolder, const char* to,
                           bool exclusiveRename = true, bool hardLink = true, const char* reservingAs = nullptr);
