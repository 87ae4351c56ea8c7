#pragma once

class Form1;
class QMenu;

// Adds "Undo Last Move" and "Restore Last Trashed" to the result list's
// context menu. Each time the menu opens, an entry names how many files it
// concerns, and it is disabled when there is nothing to take back.
void AddUndoEntries(QMenu& menu, Form1& form);
