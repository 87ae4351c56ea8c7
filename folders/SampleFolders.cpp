#include "folders/FolderListCommands.h"

#include "app/core/ApplicationTitle.h"
#include "app/core/CommandWindow.h"
#include "app/core/Dialogs.h"
#include "app/core/ErrorTrap.h"
#include "app/core/Failure.h"
#include "app/core/PathSeparator.h"
#include "app/core/ProductTexts.h"
#include "app/core/RowList.h"
#include "app/core/Seams.h"
#include "app/core/Shell.h"

#include <QUrl>

void LoadSampleFolders(RowList& folders, const QString& programFolder, Seams& seams, CommandWindow& window,
                       const EnableSearch& enableSearch, const std::function<void()>& chooseBeforeRange)
{
    ErrorTrap trap(seams.dialogs, window.Owner(), QLatin1String(LocationTag::kSampleFolders));
    // The rows are added as formed, a program folder at the root giving a doubled separator.
    const QString samples = programFolder + kPathSeparator + QStringLiteral("Samples") + kPathSeparator;
    trap.Run(100, [&] { folders.Add(samples + QStringLiteral("sample1") + kPathSeparator); });
    trap.Run(102, [&] { folders.Add(samples + QStringLiteral("sample2") + kPathSeparator); });
    trap.Run(102, [&] { chooseBeforeRange(); });
    const bool open = trap.Value(104, [&] {
        return seams.dialogs.AskYesNo(window.Owner(), ApplicationTitle(),
                                      QStringLiteral("Would you like this software to open the folder where these sample "
                                                     "files are stored (so that you can view them before working with them)?"));
    }, false);
    if (open)
        trap.Run(106, [&] {
            // Opening the samples folder is a courtesy: when no program opens
            // it, the command goes on without a box.
            try {
                seams.shell.OpenUrl(QUrl::fromLocalFile(samples));
            } catch (const Failure&) {
            }
        });
    trap.Run(108, [&] { enableSearch(folders.Count() >= 1); });
}
