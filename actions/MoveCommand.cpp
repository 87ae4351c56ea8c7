#include "actions/FileFailures.h"
#include "actions/MoveCheckedFiles.h"
#include "actions/undo/MoveRecorder.h"
#include "app/ApplicationTitle.h"
#include "app/Dialogs.h"
#include "app/ErrorTrap.h"
#include "app/EventPump.h"
#include "app/Form1.h"
#include "app/MousePointer.h"
#include "app/ProductTexts.h"
#include "app/RowList.h"
#include "app/RowTableView.h"
#include "app/Settings.h"
#include "folders/BrowseForFolder.h"
#include "folders/PathSeparator.h"


void Form1::PushButton11_Click()
{
    ErrorTrap trap(m_seams.dialogs, this, QLatin1String(LocationTag::kMove));
    const QString lastFolder = trap.Value(106, [] { return ReadSetting(QStringLiteral("LastFolder"), {}); }, QString());
    const QString picked = trap.Value(106, [&] {
        return BrowseForFolder(m_seams.dialogs, this, QStringLiteral("Please select folder:"), lastFolder);
    }, QString());
    if (picked.isEmpty())
        return;
    trap.Run(334, [&] { WriteSetting(QStringLiteral("LastFolder"), picked); });
    const QString targetFolder = WithTrailingSeparator(picked);

    LongCommand guard(*this);
    trap.Run(114, [&] { SetMousePointer(MousePointer::Hourglass); });
    FileFailures failures;
    {
        const MoveRecorder recorder(m_undo->lastMove);
        MoveCheckedFiles(*m_resultRows, targetFolder, m_seams.fileSystem, m_seams.pump, trap, failures);
    }
    trap.Run(142, [&] { ListView2->viewport()->update(); });
    trap.Run(144, [&] { SetMousePointer(MousePointer::Default); });
    if (failures.Count() > 0 && !m_seams.pump.Closing()) {
        trap.Run(146, [&] {
            m_seams.dialogs.ShowMessage(this, ApplicationTitle(), failures.Text(
                QStringLiteral("%1 of the checked files were not moved:").arg(failures.Count())));
        });
    }
}
