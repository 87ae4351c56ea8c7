#include "actions/SaveListviewProperlySpaced.h"
#include "app/ApplicationTitle.h"
#include "app/Dialogs.h"
#include "app/ErrorTrap.h"
#include "app/FileSystem.h"
#include "app/Form1.h"
#include "app/MousePointer.h"
#include "app/ProductTexts.h"
#include "app/RowList.h"

void Form1::PushButton2_Click()
{
    ErrorTrap trap(m_seams.dialogs, this, QLatin1String(LocationTag::kSave));
    const QStringList filters{QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*.*)")};
    const QString name = trap.Value(114, [&] {
        return m_seams.dialogs.PickSaveFile(this, QStringLiteral("Save"), filters);
    }, QString());
    if (name.isEmpty())
        return;
    // An existence test that fails asks the question all the same.
    const bool exists = trap.Test(120, [&] { return m_seams.fileSystem.FileExistsByDate(name); });
    if (exists) {
        const bool overwrite = trap.Value(122, [&] {
            return m_seams.dialogs.AskYesNo(this, ApplicationTitle(),
                                            QStringLiteral("Are you sure you wish to overwrite ") + name + QStringLiteral(" ?"));
        }, false);
        if (!overwrite)
            return;
    }
    LongCommand guard(*this);
    trap.Run(128, [&] { SetMousePointer(MousePointer::Hourglass); });
    const bool written = SaveListviewProperlySpaced(*m_resultRows, name, m_seams.fileSystem, m_seams.pump,
                                                    m_seams.dialogs, this);
    trap.Run(132, [&] { SetMousePointer(MousePointer::Default); });
    if (written)
        trap.Run(134, [&] { m_seams.dialogs.ShowMessage(this, ApplicationTitle(), QStringLiteral("Done.")); });
}
