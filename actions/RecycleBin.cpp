#include "actions/RecycleBin.h"

#include "actions/FileFailures.h"
#include "app/ErrorTrap.h"
#include "app/EventPump.h"
#include "app/FileSystem.h"
#include "app/ProductTexts.h"
#include "app/RowList.h"

void SendToRecycleBin(const QStringList& paths, FileSystem& fileSystem, EventPump& pump, FileFailures& failures)
{
    for (const QString& path : paths) {
        try {
            fileSystem.MoveToTrash(path);
        } catch (const Failure& failure) {
            failures.Add(path, failure.Description());
        }
        if (!pump.Point())
            break;
    }
}

void RemoveCheckedItemsFromListview(RowList& rows, const QSet<QString>& sent, FileSystem& fileSystem,
                                    Dialogs& dialogs, QWidget* owner)
{
    ErrorTrap trap(dialogs, owner, QLatin1String(LocationTag::kRemoveChecked));
    trap.Run(114, [&] {
        rows.RemoveWhere([&](const RowList::Row& row) {
            return row.checked && sent.contains(row.text) && !fileSystem.FileExistsByDate(row.text);
        });
    });
}
