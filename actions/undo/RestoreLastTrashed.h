#pragma once

#include <QString>

class EventPump;
class FileSystem;
class CommandWindow;
struct Seams;
struct TrashRecord;

// Puts every file of the record back from the trash at its original path,
// never replacing a file that stands there now. The files that came back, or
// that the trash no longer holds, leave the record; the others stay in it for
// another try. A close of the window ends the restore after the file in hand.
// Returns what came back and what did not, and why.
QString RestoreTrashedFiles(TrashRecord& record, FileSystem& fileSystem, EventPump& pump);

// The "Restore Last Trashed" command: restores the last trash command's files
// and tells the outcome in one box. The result list stays as it is.
void RestoreLastTrashed(TrashRecord& lastTrash, Seams& seams, CommandWindow& window);
