#include "actions/FileFailures.h"
#include "actions/RecycleBin.h"
#include "actions/undo/UndoRecords.h"
#include "app/ApplicationTitle.h"
#include "app/Dialogs.h"
#include "app/ErrorTrap.h"
#include "app/EventPump.h"
#include "app/Form1.h"
#include "app/ProductTexts.h"
#include "app/RowList.h"
#include "app/RowTableView.h"

#include <QDateTime>

namespace {
QString TrashQuestion(int count)
{
    return count == 1 ? QStringLiteral("Move 1 checked file to the trash?")
                      : QStringLiteral("Move %1 checked files to the trash?").arg(count);
}
}  // namespace

void Form1::PushButton5_Click()
{
    ErrorTrap trap(m_seams.dialogs, this, QLatin1String(LocationTag::kRecycle));
    LongCommand guard(*this);
    QStringList paths;
    const int rowCount = m_resultRows->Count();
    for (int r = 1; r <= rowCount; ++r) {
        if (!m_seams.pump.Point())
            return;
        // A command run meanwhile may have shortened the list: never read past its end.
        if (r > m_resultRows->Count())
            break;
        if (trap.Test(112, [&] { return m_resultRows->Checked(r); }, false))
            trap.Run(116, [&] { paths << m_resultRows->Text(r); });
    }
    // A file listed in two rows is one file: asked about and moved once.
    paths.removeDuplicates();
    if (!paths.isEmpty()) {
        const bool confirmed = trap.Value(122, [&] {
            return m_seams.dialogs.AskYesNo(this, ApplicationTitle(), TrashQuestion(static_cast<int>(paths.size())));
        }, false);
        if (confirmed) {
            QSet<QString> gone;
            FileFailures failures;
            TrashRecord record{{}, QDateTime::currentSecsSinceEpoch()};
            trap.Run(122, [&] { SendToRecycleBin(paths, m_seams.fileSystem, m_seams.pump, gone, record.paths, failures); });
            record.until = QDateTime::currentSecsSinceEpoch();
            m_undo->lastTrash = std::move(record);
            RemoveCheckedItemsFromListview(*m_resultRows, gone, m_seams.dialogs, this);
            // A window closing meanwhile shows no more boxes.
            if (failures.Count() > 0 && !m_seams.pump.Closing()) {
                trap.Run(126, [&] {
                    m_seams.dialogs.ShowMessage(this, ApplicationTitle(), failures.Text(
                        QStringLiteral("%1 of the checked files could not be moved to the trash:").arg(failures.Count())));
                });
            }
        }
    }
    trap.Run(128, [&] { ListView2->viewport()->update(); });
}
