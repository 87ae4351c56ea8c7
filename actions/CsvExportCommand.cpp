#include "actions/CsvExport.h"

#include "app/core/ApplicationTitle.h"
#include "app/core/CommandWindow.h"
#include "app/core/Dialogs.h"
#include "app/core/ErrorTrap.h"
#include "app/core/MousePointer.h"
#include "app/core/ProductTexts.h"
#include "app/core/RowList.h"
#include "app/core/Seams.h"

void ExportResultsAsCsv(RowList& results, Seams& seams, CommandWindow& window)
{
    ErrorTrap trap(seams.dialogs, window.Owner(), QLatin1String(LocationTag::kExportCsv));
    const QString name = trap.Value(100, [&] {
        return seams.dialogs.PickNewSaveFile(window.Owner(), QStringLiteral("Export as CSV"),
                                             {QStringLiteral("CSV Files (*.csv)")}, QStringLiteral("csv"));
    }, QString());
    if (name.isEmpty())
        return;
    LongCommand guard(window);
    trap.Run(102, [&] { window.SetMousePointer(MousePointer::Hourglass); });
    const bool written = ExportListviewAsCsv(results, name, seams.fileSystem, seams.pump, seams.dialogs, window.Owner());
    trap.Run(104, [&] { window.SetMousePointer(MousePointer::Default); });
    if (written)
        trap.Run(106, [&] { seams.dialogs.ShowMessage(window.Owner(), ApplicationTitle(), QStringLiteral("Done.")); });
}
