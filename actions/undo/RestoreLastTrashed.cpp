#include "actions/undo/RestoreLastTrashed.h"

#include "actions/undo/TakeBack.h"
#include "actions/undo/UndoRecords.h"
#include "app/core/EventPump.h"
#include "app/core/FileSystem.h"
#include "app/core/ProductTexts.h"
#include "app/core/Seams.h"

#include <utility>

QString RestoreTrashedFiles(TrashRecord& record, FileSystem& fileSystem, EventPump& pump)
{
    TakeBackSummary summary;
    QStringList left;
    for (qsizetype i = 0; i < record.paths.size(); ++i) {
        const QString& path = record.paths[i];
        if (!pump.Point()) {
            left += record.paths.mid(i);
            break;
        }
        try {
            fileSystem.RestoreFromTrash(path, record.from, record.until);
            summary.CameBack(path);
        } catch (const Failure& failure) {
            summary.Stayed(path, failure.Description());
            if (failure.Number() != ErrorNumber::PathNotFound)
                left << path;
        }
    }
    record.paths = left;
    return summary.Text(QStringLiteral("from the trash"));
}

void RestoreLastTrashed(TrashRecord& lastTrash, Seams& seams, CommandWindow& window)
{
    TakeBackLast<TrashRecord>(seams, window, lastTrash, LocationTag::kRestoreLastTrashed, [&](TrashRecord& record) {
        return RestoreTrashedFiles(record, seams.fileSystem, seams.pump);
    });
}
