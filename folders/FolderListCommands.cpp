#include "folders/FolderListCommands.h"

#include "app/core/CommandWindow.h"
#include "app/core/Dialogs.h"
#include "app/core/ErrorTrap.h"
#include "app/core/KeyCode.h"
#include "app/core/MousePointer.h"
#include "app/core/PathSeparator.h"
#include "app/core/ProductTexts.h"
#include "app/core/RemoveDoubleBackslashes.h"
#include "app/core/RowList.h"
#include "app/core/Seams.h"
#include "app/core/Settings.h"
#include "folders/BrowseForFolder.h"

namespace {
// Removes the folder list's current row, unless a long command shows the
// hourglass; a list with rows but no current row loses nothing.
void RemoveCurrentFolderRow(RowList& rows, int currentRow, const CommandWindow& window)
{
    if (window.MousePointer() == MousePointer::Hourglass || rows.Count() == 0)
        return;
    if (currentRow > 0)
        rows.Remove(currentRow);
}
}  // namespace

void AddFolderToSearch(RowList& folders, Seams& seams, CommandWindow& window, const EnableSearch& enableSearch)
{
    ErrorTrap trap(seams.dialogs, window.Owner(), QLatin1String(LocationTag::kAddFolder));
    const QString startFolder = trap.Value(100, [] { return ReadSetting(QStringLiteral("LastFolderDot"), {}); }, QString());
    const QString picked = trap.Value(100, [&] {
        return BrowseForFolder(seams.dialogs, window.Owner(), QStringLiteral("Please select folder:"), startFolder);
    }, QString());
    if (trap.Test(102, [&] { return picked.isEmpty(); }))
        return;
    // Marked as a command of its own, so that when it runs inside a long
    // command its pointer steps leave that command's hourglass in place.
    LongCommand guard(window);
    trap.Run(104, [&] { window.SetMousePointer(MousePointer::Hourglass); });
    trap.Run(106, [&] { folders.Add(RemoveDoubleBackslashes(picked + kPathSeparator)); });
    trap.Run(112, [&] { enableSearch(folders.Count() >= 1); });
    trap.Run(118, [&] { window.SetMousePointer(MousePointer::Default); });
}

void ClearFolderList(RowList& folders, Seams& seams, CommandWindow& window)
{
    ErrorTrap trap(seams.dialogs, window.Owner(), QLatin1String(LocationTag::kClearFolders));
    trap.Run(100, [&] {
        if (window.MousePointer() != MousePointer::Hourglass)
            folders.Clear();
    });
}

void FolderListDblClick(RowList& folders, int currentRow, const CommandWindow& window, const EnableSearch& enableSearch)
{
    RemoveCurrentFolderRow(folders, currentRow, window);
    if (folders.Count() == 0)
        enableSearch(false);
}

void FolderListKeyDown(RowList& folders, int currentRow, const CommandWindow& window, int keyCode)
{
    if (keyCode == KeyCode::Delete)
        RemoveCurrentFolderRow(folders, currentRow, window);
}
