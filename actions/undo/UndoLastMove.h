#pragma once

#include <QString>

class EventPump;
class FileSystem;
class CommandWindow;
struct MoveRecord;
struct Seams;

// Puts every file of the record back at its original path with the move's
// own safety, each file's disk work on a thread of its own: a complete copy
// first, never replacing a file that stands at the original path now, and
// the file in the target deleted only while it is still as the move left it
// and as the copy back read it. The files that came back, left the target or
// changed there leave the record; the others stay in it for another try.
// Closing the window ends the undo at once, the file in hand left where it
// was. Returns what came back and what did not, and why.
QString MoveFilesBack(MoveRecord& record, FileSystem& fileSystem, EventPump& pump);

// The "Undo Last Move" command: moves the last move's files back and tells
// the outcome in one box. The result list stays as it is.
void UndoLastMove(MoveRecord& lastMove, Seams& seams, CommandWindow& window);
