#include "folders/BrowseForFolder.h"

#include "app/core/Dialogs.h"
#include "app/core/PathSeparator.h"

QString BrowseForFolder(Dialogs& dialogs, QWidget* owner, const QString& title, const QString& startFolder)
{
    QString folder = dialogs.PickFolder(owner, title, startFolder);
    while (folder.size() > 1 && folder.endsWith(kPathSeparator))
        folder.chop(1);
    return folder;
}
