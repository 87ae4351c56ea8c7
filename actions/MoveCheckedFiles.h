#pragma once

#include <QString>

class ErrorTrap;
class EventPump;
class FileFailures;
class FileSystem;

class RowList;

// Moves the file of every checked row into targetFolder (ending in a
// separator): inside one file system by a rename that never replaces a file;
// elsewhere a complete copy first, then the source is deleted if it is
// still the very file the copy read, unchanged. The files go in groups, each
// on a work thread while the window processes events: copied, made durable
// together, then each named and its source deleted. Rows whose files moved
// are removed; rows whose file is now in both places are unchecked; the
// others stay checked. A file listed in several rows (its folder reached by
// several paths) is moved once, and those rows follow the first. Every file not simply moved is named in failures with
// where each of its copies is. The rows are those checked when the move
// began, in the list's order then, whatever the user sorts meanwhile; once
// the list is emptied of them (a Clear, a new search) the move ends after the
// group in hand. A move started while another runs leaves that one's files
// to it, and the other way round. Closing the window ends it at once,
// the files of the group in hand left where they were.
void MoveCheckedFiles(RowList& rows, const QString& targetFolder, FileSystem& fileSystem, EventPump& pump,
                      ErrorTrap& trap, FileFailures& failures);
