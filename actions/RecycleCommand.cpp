#include "actions/ResultCommands.h"

#include "actions/FileFailures.h"
#include "actions/RecycleBin.h"
#include "actions/undo/UndoRecords.h"
#include "app/core/ApplicationTitle.h"
#include "app/core/CommandWindow.h"
#include "app/core/Dialogs.h"
#include "app/core/ErrorTrap.h"
#include "app/core/EventPump.h"
#include "app/core/ProductTexts.h"
#include "app/core/RowList.h"
#include "app/core/RowSnapshot.h"
#include "app/core/Seams.h"

#include <QDateTime>

namespace {
QString TrashQuestion(int count)
{
    return count == 1 ? QStringLiteral("Move 1 checked file to the trash?")
                      : QStringLiteral("Move %1 checked files to the trash?").arg(count);
}
}  // namespace

void SendCheckedToTrash(RowList& results, TrashRecord& lastTrash, Seams& seams, CommandWindow& window,
                        const std::function<void()>& refreshList)
{
    ErrorTrap trap(seams.dialogs, window.Owner(), QLatin1String(LocationTag::kRecycle));
    LongCommand guard(window);
    QStringList paths;
    // The rows checked when the command began, in their order then: a sort
    // meanwhile passes over none. A list cleared meanwhile (a new search)
    // holds none of them any more, and nothing is asked.
    const RowSnapshot rows(results);
    for (int r = 1; r <= rows.Count(); ++r) {
        if (!seams.pump.Point())
            return;
        if (rows.ListCleared()) {
            paths.clear();
            break;
        }
        if (trap.Test(112, [&] { return rows.Checked(r); }, false))
            trap.Run(116, [&] { paths << rows.Text(r); });
    }
    // A file listed in two rows is one file: asked about and moved once.
    paths.removeDuplicates();
    if (!paths.isEmpty()) {
        const bool confirmed = trap.Value(122, [&] {
            return seams.dialogs.AskYesNo(window.Owner(), ApplicationTitle(), TrashQuestion(static_cast<int>(paths.size())));
        }, false);
        if (confirmed) {
            QSet<QString> gone;
            FileFailures failures;
            TrashRecord record{{}, QDateTime::currentSecsSinceEpoch()};
            trap.Run(122, [&] { SendToRecycleBin(paths, seams.fileSystem, seams.pump, gone, record.paths, failures); });
            record.until = QDateTime::currentSecsSinceEpoch();
            // A trash that sent nothing keeps the record of the last one.
            if (!record.Empty())
                lastTrash = std::move(record);
            RemoveCheckedItemsFromListview(results, gone, seams.dialogs, window.Owner());
            // A window closing meanwhile shows no more boxes.
            if (failures.Count() > 0 && !seams.pump.Closing()) {
                trap.Run(126, [&] {
                    seams.dialogs.ShowMessage(window.Owner(), ApplicationTitle(), failures.Text(
                        QStringLiteral("%1 of the checked files could not be moved to the trash:").arg(failures.Count())));
                });
            }
        }
    }
    trap.Run(128, [&] { refreshList(); });
}
