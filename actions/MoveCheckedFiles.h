#pragma once

#include <QString>

class ErrorTrap;
class EventPump;
class FileFailures;
class FileSystem;
class RowList;

// Moves the file of every checked row into targetFolder (ending in a
// separator): a complete copy first, then the source is deleted. Rows whose
// files moved are removed; the others stay checked and are named in
// failures. Rows are read by index at each step, never past the list's
// current end, and a close of the window ends the move after the file in hand.
void MoveCheckedFiles(RowList& rows, const QString& targetFolder, FileSystem& fileSystem, EventPump& pump,
                      ErrorTrap& trap, FileFailures& failures);
