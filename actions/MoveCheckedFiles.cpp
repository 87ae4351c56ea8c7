#include "actions/MoveCheckedFiles.h"

#include "actions/FileFailures.h"
#include "actions/MoveRecorder.h"
#include "actions/SafeCopyFile.h"
#include "app/ErrorTrap.h"
#include "app/EventPump.h"
#include "app/FileSystem.h"
#include "app/RowList.h"
#include "folders/RemoveDoubleBackslashes.h"

#include <QSet>

namespace {
// Moves one file; the empty string when it moved, else why not.
QString MoveOneFile(const QString& rowText, const QString& targetFolder, FileSystem& fileSystem, EventPump& pump)
{
    const CopyOutcome copy = SafeCopyFile(rowText, targetFolder, fileSystem, [&] { pump.Point(); });
    if (!copy.Copied())
        return copy.reason;
    const QString source = RemoveDoubleBackslashes(rowText);
    // The source goes only when its copy stands complete under its name.
    bool copyStands = false;
    bool complete = false;
    try {
        copyStands = fileSystem.IsExistingFile(copy.copiedTo);
        complete = copyStands && fileSystem.FileSize(copy.copiedTo) == fileSystem.FileSize(source);
    } catch (const Failure&) {
    }
    if (!complete) {
        // A command run meanwhile (the trash, another move) took the file away
        // while it was copied: its copy stays, and the message says where.
        bool sourceGone = false;
        try {
            sourceGone = copyStands && !fileSystem.IsExistingFile(source);
        } catch (const Failure&) {
        }
        if (sourceGone)
            return QStringLiteral("copied to %1, but meanwhile the file was taken from its folder").arg(copy.copiedTo);
        return QStringLiteral("the copy is incomplete, the file was left in place");
    }
    const QString notDeleted = DeleteFileRobust(source, fileSystem, pump);
    if (!notDeleted.isEmpty())
        return QStringLiteral("copied to %1, but the file could not be deleted: %2").arg(copy.copiedTo, notDeleted);
    MoveRecorder::Note(source, copy.copiedTo);
    return {};
}
}  // namespace

void MoveCheckedFiles(RowList& rows, const QString& targetFolder, FileSystem& fileSystem, EventPump& pump,
                      ErrorTrap& trap, FileFailures& failures)
{
    QSet<QString> moved;
    const int rowCount = rows.Count();
    for (int i = 1; i <= rowCount; ++i) {
        if (!pump.Point() || i > rows.Count())
            break;
        if (!trap.Test(122, [&] { return rows.Checked(i); }, false))
            continue;
        const QString text = trap.Value(124, [&] { return rows.Text(i); }, QString());
        // A row met again after the list was reordered is not moved twice.
        if (text.isEmpty() || moved.contains(text))
            continue;
        trap.SetFileText(text);
        trap.Run(126, [&] {
            const QString reason = MoveOneFile(text, targetFolder, fileSystem, pump);
            if (reason.isEmpty())
                moved.insert(text);
            else
                failures.Add(text, reason);
        });
        trap.ClearFileText();
    }
    trap.Run(132, [&] {
        rows.RemoveWhere([&](const RowList::Row& row) { return row.checked && moved.contains(row.text); });
    });
}
