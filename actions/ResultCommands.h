#pragma once

#include <QString>

#include <functional>

class CommandWindow;
class RowList;
struct MoveRecord;
struct Seams;
struct TrashRecord;

// The commands of the result list's buttons. Each runs its numbered steps
// under its location tag; refreshList repaints the list after its check marks
// or rows changed.

// "Save Results As Text File": the list as column-aligned text, in a file the user picks.
void SaveResults(RowList& results, Seams& seams, CommandWindow& window);

// "Copy Results To Clipboard": the same text on the clipboard.
void CopyResults(RowList& results, Seams& seams, CommandWindow& window);

// "Send Checked To Recycle Bin": after one question, the checked files go to
// the trash and their rows leave the list; lastTrash records what went.
void SendCheckedToTrash(RowList& results, TrashRecord& lastTrash, Seams& seams, CommandWindow& window,
                        const std::function<void()>& refreshList);

// "Move Checked To Another Folder": asks for the target through pickFolder
// (given the folder to open at) and moves the checked files there; lastMove
// records what was moved.
void MoveCheckedToFolder(RowList& results, MoveRecord& lastMove, Seams& seams, CommandWindow& window,
                         const std::function<QString(const QString&)>& pickFolder,
                         const std::function<void()>& refreshList);

// "Clear List" of the result list.
void ClearResults(RowList& results, Seams& seams, CommandWindow& window);
