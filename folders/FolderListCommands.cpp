#include "app/Dialogs.h"
#include "app/ErrorTrap.h"
#include "app/Form1.h"
#include "app/MousePointer.h"
#include "app/ProductTexts.h"
#include "app/RowList.h"
#include "app/Settings.h"
#include "folders/BrowseForFolder.h"
#include "folders/PathSeparator.h"
#include "folders/RemoveDoubleBackslashes.h"

#include <QPushButton>
#include "app/RowTableView.h"

namespace {
constexpr int kDeleteKeyCode = 46;

// Removes the folder list's current row, unless a long command shows the
// hourglass; a list with rows but no current row loses nothing.
void RemoveCurrentFolderRow(Form1& form)
{
    RowList& rows = form.FolderRows();
    if (form.MousePointer() == MousePointer::Hourglass || rows.Count() == 0)
        return;
    const QModelIndex current = form.ListView1->currentIndex();
    if (current.isValid())
        rows.Remove(current.row() + 1);
}
}  // namespace

void Form1::PushButton3_Click()
{
    ErrorTrap trap(m_seams.dialogs, this, QLatin1String(LocationTag::kAddFolder));
    const QString startFolder = trap.Value(100, [] { return ReadSetting(QStringLiteral("LastFolderDot"), {}); }, QString());
    const QString picked = trap.Value(100, [&] {
        return BrowseForFolder(m_seams.dialogs, this, QStringLiteral("Please select folder:"), startFolder);
    }, QString());
    if (trap.Test(102, [&] { return picked.isEmpty(); }))
        return;
    // Marked as a command of its own, so that when it runs inside a long
    // command its pointer steps leave that command's hourglass in place.
    LongCommand guard(*this);
    trap.Run(104, [&] { SetMousePointer(MousePointer::Hourglass); });
    trap.Run(106, [&] { m_folderRows->Add(RemoveDoubleBackslashes(picked + kPathSeparator)); });
    trap.Run(112, [&] { PushButton1->setEnabled(m_folderRows->Count() >= 1); });
    trap.Run(118, [&] { SetMousePointer(MousePointer::Default); });
}

void Form1::PushButton9_Click()
{
    ErrorTrap trap(m_seams.dialogs, this, QLatin1String(LocationTag::kClearFolders));
    trap.Run(100, [&] {
        if (m_mousePointer != MousePointer::Hourglass)
            m_folderRows->Clear();
    });
}

void Form1::ListView1_DblClick()
{
    RemoveCurrentFolderRow(*this);
    if (m_folderRows->Count() == 0)
        PushButton1->setEnabled(false);
}

void Form1::ListView1_KeyDown(int keyCode, int)
{
    if (keyCode == kDeleteKeyCode)
        RemoveCurrentFolderRow(*this);
}
