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

// Records the files of each folder of the expanded list, in list order.
class WalkRecorder : public FolderFileSink {
public:
    WalkRecorder(FileSystem& fileSystem, const std::atomic<DateType>& dateType, WalkObserver& observer,
                 WalkProgress& progress, FoundFileList& found)
        : m_fileSystem(fileSystem), m_dateType(dateType), m_observer(observer), m_progress(progress), m_found(found)
    {
    }

    void BeginFolder(const QString& entry) override
    {
        // The entry without its trailing separator; the root "/" becomes "",
        // so its files read "/name".
        const QString folder = entry.left(entry.size() - 1);
        m_found.BeginFolder(folder);
        if (m_progress.folderChanged)
            m_progress.folderChanged(folder.isEmpty() ? entry : folder);
    }

    void VisitFile(std::string_view name, const FileTimes& times) override
    {
        if (name.front() == '~' || m_observer.Abandoned())
            return;
        m_type = m_dateType.load(std::memory_order_relaxed);
        m_found.Add(name, ChosenTime(times, m_type));
        m_progress.files.fetch_add(1, std::memory_order_relaxed);
    }

    void ListSeparately(const QString& entry) override
    {
        BeginFolder(entry);
        const QString folder = entry.size() > 1 ? entry.left(entry.size() - 1) : entry;
        try {
            m_fileSystem.ListFiles(folder, [this](std::string_view name, const FileTimes& times) {
                VisitFile(name, times);
            });
        } catch (const Failure& failure) {
            // A folder that is denied or gone yields no names, as a listing
            // that finds nothing.
            if (failure.Number() != ErrorNumber::PermissionDenied && failure.Number() != ErrorNumber::PathNotFound)
                m_observer.ReportFailure(LocationTag::kSearch, 188, failure.Description());
        } catch (const std::exception& error) {
            m_observer.ReportFailure(LocationTag::kSearch, ReaderStep(m_type), QString::fromLocal8Bit(error.what()));
        }
    }

private:
    FileSystem& m_fileSystem;
    const std::atomic<DateType>& m_dateType;
    WalkObserver& m_observer;
    WalkProgress& m_progress;
    FoundFileList& m_found;
    DateType m_type = DateType::Modified;
};
}  // namespace

void WalkFolders(const QStringList& folderRows, FileSystem& fileSystem, const std::atomic<DateType>& dateType,
                 WalkObserver& observer, WalkProgress& progress, FoundFileList& found)
{
    WalkRecorder recorder(fileSystem, dateType, observer, progress, found);
    for (const QString& row : folderRows) {
        if (observer.Abandoned())
            return;
        // The expansion hands over each folder's files as it reads the folder.
        QStringList folders{row};
        GetSubDirectories2016(folders, true, fileSystem, observer, &recorder);
    }
}
