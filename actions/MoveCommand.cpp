#include "actions/ResultCommands.h"

#include "actions/FileFailures.h"
#include "actions/MoveCheckedFiles.h"
#include "actions/undo/MoveRecorder.h"
#include "app/core/ApplicationTitle.h"
#include "app/core/CommandWindow.h"
#include "app/core/Dialogs.h"
#include "app/core/ErrorTrap.h"
#include "app/core/EventPump.h"
#include "app/core/MousePointer.h"
#include "app/core/PathSeparator.h"
#include "app/core/ProductTexts.h"
#include "app/core/RowList.h"
#include "app/core/Seams.h"
#include "app/core/Settings.h"

void MoveCheckedToFolder(RowList& results, MoveRecord& lastMove, Seams& seams, CommandWindow& window,
                         const std::function<QString(const QString&)>& pickFolder,
                         const std::function<void()>& refreshList)
{
    ErrorTrap trap(seams.dialogs, window.Owner(), QLatin1String(LocationTag::kMove));
    const QString lastFolder = trap.Value(106, [] { return ReadSetting(QStringLiteral("LastFolder"), {}); }, QString());
    const QString picked = trap.Value(106, [&] { return pickFolder(lastFolder); }, QString());
    if (picked.isEmpty())
        return;
    trap.Run(334, [&] { WriteSetting(QStringLiteral("LastFolder"), picked); });
    const QString targetFolder = WithTrailingSeparator(picked);

    LongCommand guard(window);
    trap.Run(114, [&] { window.SetMousePointer(MousePointer::Hourglass); });
    FileFailures failures;
    {
        const MoveRecorder recorder(lastMove);
        MoveCheckedFiles(results, targetFolder, seams.fileSystem, seams.pump, trap, failures);
    }
    trap.Run(142, [&] { refreshList(); });
    trap.Run(144, [&] { window.SetMousePointer(MousePointer::Default); });
    if (failures.Count() > 0 && !seams.pump.Closing()) {
        trap.Run(146, [&] {
            seams.dialogs.ShowMessage(window.Owner(), ApplicationTitle(), failures.Text(
                QStringLiteral("%1 of the checked files were not moved:").arg(failures.Count())));
        });
    }
}
