#include "search/FolderWalk.h"

#include "app/Failure.h"
#include "app/FileSystem.h"
#include "app/ProductTexts.h"
#include "search/FoundFileList.h"
#include "search/SubfolderExpansion.h"
#include "search/WalkObserver.h"

namespace {
// The step that reads the time of each type, for the error box.
int ReaderStep(DateType type)
{
    switch (type) {
    case DateType::Created:
        return 210;
    case DateType::Accessed:
        return 216;
    case DateType::Modified:
        break;
    }
    return 204;
}

void ListFolder(const QString& entry, FileSystem& fileSystem, const std::atomic<DateType>& dateType,
                WalkObserver& observer, WalkProgress& progress, FoundFileList& found)
{
    // The entry without its trailing separator; the root "/" becomes "", so
    // its files read "/name".
    const QString folder = entry.left(entry.size() - 1);
    found.BeginFolder(folder);
    if (progress.folderChanged)
        progress.folderChanged(folder.isEmpty() ? entry : folder);
    DateType type = DateType::Modified;
    try {
        fileSystem.ListFiles(folder.isEmpty() ? entry : folder, [&](std::string_view name, const FileTimes& times) {
            if (observer.Abandoned())
                throw Failure(0, {});
            if (name.front() == '~')
                return;
            type = dateType.load(std::memory_order_relaxed);
            found.Add(name, ChosenTime(times, type));
            progress.files.fetch_add(1, std::memory_order_relaxed);
        });
    } catch (const Failure& failure) {
        // A folder that is denied or gone yields no names, as a listing that
        // finds nothing.
        if (observer.Abandoned() || failure.Number() == ErrorNumber::PermissionDenied
            || failure.Number() == ErrorNumber::PathNotFound)
            return;
        observer.ReportFailure(LocationTag::kSearch, 188, failure.Description());
    } catch (const std::exception& error) {
        observer.ReportFailure(LocationTag::kSearch, ReaderStep(type), QString::fromLocal8Bit(error.what()));
    }
}
}  // namespace

void WalkFolders(const QStringList& folderRows, FileSystem& fileSystem, const std::atomic<DateType>& dateType,
                 WalkObserver& observer, WalkProgress& progress, FoundFileList& found)
{
    for (const QString& row : folderRows) {
        QStringList folders{row};
        if (observer.Abandoned())
            return;
        GetSubDirectories2016(folders, true, fileSystem, observer);
        for (const QString& entry : folders) {
            if (observer.Abandoned())
                return;
            if (!entry.isEmpty())
                ListFolder(entry, fileSystem, dateType, observer, progress, found);
        }
    }
}
