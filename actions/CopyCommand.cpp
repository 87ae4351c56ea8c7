#include "actions/Clipboard.h"
#include "app/ApplicationTitle.h"
#include "app/Dialogs.h"
#include "app/ErrorTrap.h"
#include "app/EventPump.h"
#include "app/Form1.h"
#include "app/ProductTexts.h"
#include "app/RowList.h"

void Form1::PushButton4_Click()
{
    ErrorTrap trap(m_seams.dialogs, this, QLatin1String(LocationTag::kCopy));
    bool copied = false;
    {
        LongCommand guard(*this);
        copied = trap.Run(106, [&] { CopyListviewToClipboard(*m_resultRows, m_seams.pump); });
    }
    // A copy that failed was told by its error box and left the clipboard as
    // it was, so it does not say the results were copied; a window closing
    // meanwhile shows no more boxes.
    if (!copied || m_seams.pump.Closing())
        return;
    trap.Run(108, [&] {
        m_seams.dialogs.ShowMessage(this, ApplicationTitle(),
                                    QStringLiteral("Results have been copied to the clipboard.\r\r"
                                                   "Click a text area where you normally type and press Ctrl+V "
                                                   "to paste the clipboard."));
    });
}
