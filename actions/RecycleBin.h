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

// Moves each file to the desktop's trash; the ones refused go to failures
// with their reasons. A close of the window ends the request after the file
// in hand.
void SendToRecycleBin(const QStringList& paths, FileSystem& fileSystem, EventPump& pump, FileFailures& failures);

// Removes the checked rows whose path was sent and whose file is gone now;
// rows whose files are still there stay, checked.
void RemoveCheckedItemsFromListview(RowList& rows, const QSet<QString>& sent, FileSystem& fileSystem,
                                    Dialogs& dialogs, QWidget* owner);
