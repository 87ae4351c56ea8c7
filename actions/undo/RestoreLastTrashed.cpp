#include "actions/undo/RestoreLastTrashed.h"

#include "actions/undo/TakeBack.h"
#include "actions/undo/UndoRecords.h"
#include "app/EventPump.h"
#include "app/FileSystem.h"
#include "app/Form1.h"

#include <utility>

namespace {
constexpr char kLocationTag[] = "in Brellin2021/08/31.Form1.RestoreLastTrashed ";
}

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

void RestoreLastTrashed(Form1& form)
{
    TakeBackLast<TrashRecord>(form, form.Undo().lastTrash, kLocationTag, [&](TrashRecord& record) {
        return RestoreTrashedFiles(record, form.Services().fileSystem, form.Services().pump);
    });
}
