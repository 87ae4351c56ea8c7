#pragma once

#include <QString>

class EventPump;
class RowList;

// Empties the clipboard, trying again at once while it still holds text, at
// most 1000 times in all.
void ClearClipboard();
// Places plain text on the clipboard, trying again at once until it reads
// back, at most 1000 times in all; true when it was placed.
bool SetClipboardText(const QString& text);

// Puts the list on the clipboard as aligned text; an empty list leaves the
// clipboard as it was.
void CopyListviewToClipboard(const RowList& rows, EventPump& pump);
