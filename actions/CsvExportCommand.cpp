#include "actions/CsvExport.h"

#include "app/ApplicationTitle.h"
#include "app/Dialogs.h"
#include "app/ErrorTrap.h"
#include "app/Form1.h"
#include "app/MousePointer.h"
#include "app/RowList.h"

namespace {
constexpr char kLocationTag[] = "in Brellin2021/08/31.Form1.ExportResultsAsCsv ";
}

void ExportResultsAsCsv(Form1& form)
{
    Seams& seams = form.Services();
    ErrorTrap trap(seams.dialogs, &form, QLatin1String(kLocationTag));
    const QString name = trap.Value(100, [&] {
        return seams.dialogs.PickNewSaveFile(&form, QStringLiteral("Export as CSV"),
                                             {QStringLiteral("CSV Files (*.csv)")}, QStringLiteral("csv"));
    }, QString());
    if (name.isEmpty())
        return;
    Form1::LongCommand guard(form);
    trap.Run(102, [&] { form.SetMousePointer(MousePointer::Hourglass); });
    const bool written = ExportListviewAsCsv(form.ResultRows(), name, seams.fileSystem, seams.pump, seams.dialogs, &form);
    trap.Run(104, [&] { form.SetMousePointer(MousePointer::Default); });
    if (written)
        trap.Run(106, [&] { seams.dialogs.ShowMessage(&form, ApplicationTitle(), QStringLiteral("Done.")); });
}
