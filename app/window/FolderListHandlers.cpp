#include "app/core/RowList.h"
#include "app/window/Form1.h"
#include "app/window/RowTableView.h"
#include "folders/FolderListCommands.h"

#include <QPushButton>
#include <QRadioButton>

namespace {
// The folder list's current row, 1-based; 0 when it has none.
int CurrentRow(const Form1& form)
{
    const QModelIndex current = form.ListView1->currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

EnableSearch SearchEnabler(Form1& form)
{
    return [&form](bool enabled) { form.PushButton1->setEnabled(enabled); };
}
}  // namespace

void Form1::PushButton3_Click()
{
    AddFolderToSearch(*m_folderRows, m_seams, *this, SearchEnabler(*this));
}

void Form1::PushButton8_Click()
{
    LoadSampleFolders(*m_folderRows, m_programFolder, m_seams, *this, SearchEnabler(*this), [this] { Option6->click(); });
}

void Form1::PushButton9_Click()
{
    ClearFolderList(*m_folderRows, m_seams, *this);
}

void Form1::ListView1_DblClick()
{
    FolderListDblClick(*m_folderRows, CurrentRow(*this), *this, SearchEnabler(*this));
}

void Form1::ListView1_KeyDown(int keyCode, int)
{
    FolderListKeyDown(*m_folderRows, CurrentRow(*this), *this, keyCode);
}
