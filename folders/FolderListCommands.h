#pragma once

#include <functional>

class CommandWindow;
class QString;
class RowList;
struct Seams;

// Turns "Start Searching" on or off, as the folder list has rows or not.
using EnableSearch = std::function<void(bool)>;

// "Add Folder to Search": asks for a folder, opening at the last one added,
// and adds it to the list.
void AddFolderToSearch(RowList& folders, Seams& seams, CommandWindow& window, const EnableSearch& enableSearch);

// "Clear List" of the folder list, refused while a long command shows the hourglass.
void ClearFolderList(RowList& folders, Seams& seams, CommandWindow& window);

// A double-click on the folder list removes its current row (1-based, 0 for
// none); the search turns off with the last row.
void FolderListDblClick(RowList& folders, int currentRow, const CommandWindow& window,
                        const EnableSearch& enableSearch);

// A key on the folder list: Delete removes its current row (1-based, 0 for none).
void FolderListKeyDown(RowList& folders, int currentRow, const CommandWindow& window, int keyCode);

// "Load Sample/Example Folders": adds the two sample folders below the program
// folder, picks "Before this date:" through chooseBeforeRange, and offers to
// open the samples' folder.
void LoadSampleFolders(RowList& folders, const QString& programFolder, Seams& seams, CommandWindow& window,
                       const EnableSearch& enableSearch, const std::function<void()>& chooseBeforeRange);
