#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

class Dialogs;
class EventPump;
class FileFailures;
class FileSystem;
class QWidget;
class RowList;

// Moves each file to the desktop's trash. The paths whose files are known to
// be gone afterwards (trashed, or no longer there at all) go to gone, the
// trashed ones also to trashed; the ones refused go to failures with their
// reasons. A close of the window ends the request after the file in hand.
void SendToRecycleBin(const QStringList& paths, FileSystem& fileSystem, EventPump& pump, QSet<QString>& gone,
                      QStringList& trashed, FileFailures& failures);

// Removes the checked rows whose files are gone; every other row stays as it is.
void RemoveCheckedItemsFromListview(RowList& rows, const QSet<QString>& gone, Dialogs& dialogs, QWidget* owner);
