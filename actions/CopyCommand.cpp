#include "actions/ResultCommands.h"

#include "actions/Clipboard.h"
#include "app/core/ApplicationTitle.h"
#include "app/core/CommandWindow.h"
#include "app/core/Dialogs.h"
#include "app/core/ErrorTrap.h"
#include "app/core/EventPump.h"
#include "app/core/ProductTexts.h"
#include "app/core/RowList.h"
#include "app/core/Seams.h"

void CopyResults(RowList& results, Seams& seams, CommandWindow& window)
{
    ErrorTrap trap(seams.dialogs, window.Owner(), QLatin1String(LocationTag::kCopy));
    bool copied = false;
    {
        LongCommand guard(window);
        copied = trap.Run(106, [&] { CopyListviewToClipboard(results, seams.pump); });
    }
    // A copy that failed was told by its error box and left the clipboard as
    // it was, so it does not say the results were copied; a window closing
    // meanwhile shows no more boxes.
    if (!copied || seams.pump.Closing())
        return;
    trap.Run(108, [&] {
        seams.dialogs.ShowMessage(window.Owner(), ApplicationTitle(),
                                  QStringLiteral("Results have been copied to the clipboard.\r\r"
                                                 "Click a text area where you normally type and press Ctrl+V "
                                                 "to paste the clipboard."));
    });
}
