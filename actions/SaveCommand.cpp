#include "actions/ResultCommands.h"

#include "actions/SaveListviewProperlySpaced.h"
#include "app/core/ApplicationTitle.h"
#include "app/core/CommandWindow.h"
#include "app/core/Dialogs.h"
#include "app/core/ErrorTrap.h"
#include "app/core/FileSystem.h"
#include "app/core/MousePointer.h"
#include "app/core/ProductTexts.h"
#include "app/core/RowList.h"
#include "app/core/Seams.h"

void SaveResults(RowList& results, Seams& seams, CommandWindow& window)
{
    ErrorTrap trap(seams.dialogs, window.Owner(), QLatin1String(LocationTag::kSave));
    const QStringList filters{QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*.*)")};
    const QString name = trap.Value(114, [&] {
        return seams.dialogs.PickSaveFile(window.Owner(), QStringLiteral("Save"), filters);
    }, QString());
    if (name.isEmpty())
        return;
    // An existence test that fails asks the question all the same.
    const bool exists = trap.Test(120, [&] { return seams.fileSystem.FileExistsByDate(name); });
    if (exists) {
        const bool overwrite = trap.Value(122, [&] {
            return seams.dialogs.AskYesNo(window.Owner(), ApplicationTitle(),
                                          QStringLiteral("Are you sure you wish to overwrite ") + name + QStringLiteral(" ?"));
        }, false);
        if (!overwrite)
            return;
    }
    LongCommand guard(window);
    trap.Run(128, [&] { window.SetMousePointer(MousePointer::Hourglass); });
    const bool written = SaveListviewProperlySpaced(results, name, seams.fileSystem, seams.pump, seams.dialogs,
                                                    window.Owner());
    trap.Run(132, [&] { window.SetMousePointer(MousePointer::Default); });
    if (written)
        trap.Run(134, [&] { seams.dialogs.ShowMessage(window.Owner(), ApplicationTitle(), QStringLiteral("Done.")); });
}
