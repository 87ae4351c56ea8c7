#include "actions/RestoreLastTrashed.h"

#include "actions/FileFailures.h"
#include "actions/UndoRecords.h"
#include "app/ApplicationTitle.h"
#include "app/Dialogs.h"
#include "app/ErrorTrap.h"
#include "app/EventPump.h"
#include "app/FileSystem.h"
#include "app/Form1.h"
#include "app/MousePointer.h"

#include <utility>

namespace {
constexpr char kLocationTag[] = "in Brellin2021/08/31.Form1.RestoreLastTrashed ";

QString Files(int count)
{
    return count == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(count);
}
}  // namespace

QString RestoreTrashedFiles(TrashRecord& record, FileSystem& fileSystem, EventPump& pump)
{
    FileFailures restored;
    FileFailures stayed;
    QStringList left;
    for (qsizetype i = 0; i < record.paths.size(); ++i) {
        const QString& path = record.paths[i];
        if (!pump.Point()) {
            left += record.paths.mid(i);
            break;
        }
        try {
            fileSystem.RestoreFromTrash(path, record.from, record.until);
            restored.Add(path);
        } catch (const Failure& failure) {
            stayed.Add(path, failure.Description());
            if (failure.Number() != ErrorNumber::PathNotFound)
                left << path;
        }
    }
    record.paths = left;
    QStringList parts;
    if (restored.Count() > 0)
        parts << restored.Text(QStringLiteral("%1 came back from the trash:").arg(Files(restored.Count())));
    if (stayed.Count() > 0)
        parts << stayed.Text(QStringLiteral("%1 did not come back:").arg(Files(stayed.Count())));
    return parts.join(QStringLiteral("\r\r"));
}

void RestoreLastTrashed(Form1& form)
{
    // Taken out of the store while it runs: a trash command run meanwhile
    // records its own files, which then are the last trashed.
    TrashRecord record = std::exchange(form.Undo().lastTrash, {});
    if (record.paths.isEmpty())
        return;
    Seams& seams = form.Services();
    ErrorTrap trap(seams.dialogs, &form, QLatin1String(kLocationTag));
    Form1::LongCommand guard(form);
    trap.Run(100, [&] { form.SetMousePointer(MousePointer::Hourglass); });
    QString summary;
    trap.Run(102, [&] { summary = RestoreTrashedFiles(record, seams.fileSystem, seams.pump); });
    if (form.Undo().lastTrash.paths.isEmpty())
        form.Undo().lastTrash = std::move(record);
    trap.Run(104, [&] { form.SetMousePointer(MousePointer::Default); });
    if (!summary.isEmpty() && !seams.pump.Closing())
        trap.Run(106, [&] { seams.dialogs.ShowMessage(&form, ApplicationTitle(), summary); });
}
