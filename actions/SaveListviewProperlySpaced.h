#pragma once

#include <QString>

class Dialogs;
class EventPump;
class FileSystem;
class QWidget;
class RowList;

// Writes the list as aligned text (a header line, then one line per row, each
// cell padded and followed by a TAB, CR LF after every line) to path. The old
// file at path is replaced only when the new one is complete. A failure is
// reported once with the step where it happened; returns true when written.
// The rows are written as they were when the save began, each once; rows
// removed from the list meanwhile end the save with a failure.
bool SaveListviewProperlySpaced(const RowList& rows, const QString& path, FileSystem& fileSystem,
                                EventPump& pump, Dialogs& dialogs, QWidget* owner);
