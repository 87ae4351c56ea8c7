#include "actions/RecycleBin.h"

#include "actions/FileFailures.h"
#include "app/core/ErrorTrap.h"
#include "app/core/EventPump.h"
#include "app/core/FileSystem.h"
#include "app/core/ProductTexts.h"
#include "app/core/RowList.h"

namespace {
// A trash refused for a missing path: the file counts as gone only when it
// is missing still, as far as the file system can tell.
bool IsGone(const QString& path, FileSystem& fileSystem)
{
    try {
        return !fileSystem.FileExistsByDate(path);
    } catch (const Failure&) {
        return false;
    }
}
}  // namespace

void SendToRecycleBin(const QStringList& paths, FileSystem& fileSystem, EventPump& pump, QSet<QString>& gone,
                      QStringList& trashed, FileFailures& failures)
{
    for (const QString& path : paths) {
        try {
            fileSystem.MoveToTrash(path);
            gone.insert(path);
            trashed << path;
        } catch (const Failure& failure) {
            if (failure.Number() == ErrorNumber::PathNotFound && IsGone(path, fileSystem))
                gone.insert(path);
            else
                failures.Add(path, failure.Description());
        }
        if (!pump.Point())
            break;
    }
}

void RemoveCheckedItemsFromListview(RowList& rows, const QSet<QString>& gone, Dialogs& dialogs, QWidget* owner)
{
    ErrorTrap trap(dialogs, owner, QLatin1String(LocationTag::kRemoveChecked));
    trap.Run(114, [&] {
        rows.RemoveWhere([&](const RowList::Row& row) { return row.checked && gone.contains(row.text); });
    });
}
