#include "actions/ResultCommands.h"

#include "app/core/CommandWindow.h"
#include "app/core/ErrorTrap.h"
#include "app/core/ProductTexts.h"
#include "app/core/RowList.h"
#include "app/core/Seams.h"

void ClearResults(RowList& results, Seams& seams, CommandWindow& window)
{
    ErrorTrap trap(seams.dialogs, window.Owner(), QLatin1String(LocationTag::kClearResults));
    trap.Run(100, [&] { results.Clear(); });
}
