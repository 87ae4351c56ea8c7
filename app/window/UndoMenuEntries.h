#pragma once

#include <functional>

class Form1;
class QMenu;

// Adds "Undo Last Move" (Ctrl+Z) and "Restore Last Trashed" to the result
// list's context menu. Returns what brings the entries up to date: each names
// how many files it concerns, and is disabled when there is nothing to take back.
std::function<void()> AddUndoEntries(QMenu& menu, Form1& form);
