#include "app/window/UndoMenuEntries.h"

#include "actions/undo/RestoreLastTrashed.h"
#include "actions/undo/UndoLastMove.h"
#include "actions/undo/UndoRecords.h"
#include "app/window/Form1.h"

#include <QAction>
#include <QMenu>

namespace {
void ShowCount(QAction& action, const QString& name, qsizetype count)
{
    action.setEnabled(count > 0);
    if (count == 0)
        action.setText(name);
    else if (count == 1)
        action.setText(QStringLiteral("%1 (1 file)").arg(name));
    else
        action.setText(QStringLiteral("%1 (%2 files)").arg(name).arg(count));
}
}  // namespace

std::function<void()> AddUndoEntries(QMenu& menu, Form1& form)
{
    const QString undoName = QStringLiteral("Undo Last Move");
    const QString restoreName = QStringLiteral("Restore Last Trashed");
    QAction* undo = menu.addAction(undoName, &form, [&form] {
        UndoLastMove(form.Undo().lastMove, form.Services(), form);
    });
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction* restore = menu.addAction(restoreName, &form, [&form] {
        RestoreLastTrashed(form.Undo().lastTrash, form.Services(), form);
    });
    const auto showCounts = [=, &form] {
        ShowCount(*undo, undoName, static_cast<qsizetype>(form.Undo().lastMove.files.size()));
        ShowCount(*restore, restoreName, form.Undo().lastTrash.paths.size());
    };
    showCounts();
    return showCounts;
}
