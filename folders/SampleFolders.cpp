#include "app/ApplicationTitle.h"
#include "app/Dialogs.h"
#include "app/ErrorTrap.h"
#include "app/Failure.h"
#include "app/Form1.h"
#include "app/ProductTexts.h"
#include "app/RowList.h"
#include "app/Shell.h"
#include "folders/PathSeparator.h"

#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

void Form1::PushButton8_Click()
{
    ErrorTrap trap(m_seams.dialogs, this, QLatin1String(LocationTag::kSampleFolders));
    // The rows are added as formed, a program folder at the root giving a doubled separator.
    const QString samples = m_programFolder + kPathSeparator + QStringLiteral("Samples") + kPathSeparator;
    trap.Run(100, [&] { m_folderRows->Add(samples + QStringLiteral("sample1") + kPathSeparator); });
    trap.Run(102, [&] { m_folderRows->Add(samples + QStringLiteral("sample2") + kPathSeparator); });
    trap.Run(102, [&] { Option6->click(); });
    const bool open = trap.Value(104, [&] {
        return m_seams.dialogs.AskYesNo(this, ApplicationTitle(),
                                        QStringLiteral("Would you like this software to open the folder where these sample "
                                                       "files are stored (so that you can view them before working with them)?"));
    }, false);
    if (open)
        trap.Run(106, [&] {
            // Opening the samples folder is a courtesy: when no program opens
            // it, the command goes on without a box.
            try {
                m_seams.shell.OpenUrl(QUrl::fromLocalFile(samples));
            } catch (const Failure&) {
            }
        });
    trap.Run(108, [&] { PushButton1->setEnabled(m_folderRows->Count() >= 1); });
}
