#include "actions/ResultCommands.h"
#include "actions/undo/UndoRecords.h"
#include "app/core/RowList.h"
#include "app/window/Form1.h"
#include "app/window/RowTableView.h"
#include "folders/BrowseForFolder.h"

namespace {
std::function<void()> ListRepainter(Form1& form)
{
    return [&form] { form.ListView2->viewport()->update(); };
}
}  // namespace

void Form1::PushButton2_Click()
{
    SaveResults(*m_resultRows, m_seams, *this);
}

void Form1::PushButton4_Click()
{
    CopyResults(*m_resultRows, m_seams, *this);
}

void Form1::PushButton5_Click()
{
    SendCheckedToTrash(*m_resultRows, m_undo->lastTrash, m_seams, *this, ListRepainter(*this));
}

void Form1::PushButton6_Click()
{
    ClearResults(*m_resultRows, m_seams, *this);
}

void Form1::PushButton11_Click()
{
    const auto pickFolder = [this](const QString& startFolder) {
        return BrowseForFolder(m_seams.dialogs, this, QStringLiteral("Please select folder:"), startFolder);
    };
    MoveCheckedToFolder(*m_resultRows, m_undo->lastMove, m_seams, *this, pickFolder, ListRepainter(*this));
}
