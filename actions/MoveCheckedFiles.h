#pragma once

#include <QString>

class ErrorTrap;
class EventPump;
class FileFailures;
class FileSystem;

class RowList;

// Moves the file of every checked row into targetFolder (ending in a
// separator): a complete copy first, then the source is deleted if it is
// still the very file the copy read, unchanged. Each file's disk work runs on
// a thread of its own while the window processes events. Rows whose files
// moved are removed; rows whose file is now in both places are unchecked;
// the others stay checked. Every file not simply moved is named in failures
// with where each of its copies is. Rows are read by index at each step,
// never past the list's current end; closing the window ends the move at
// once, the file in hand left where it was.
void MoveCheckedFiles(RowList& rows, const QString& targetFolder, FileSystem& fileSystem, EventPump& pump,
                      ErrorTrap& trap, FileFailures& failures);
