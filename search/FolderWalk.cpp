#include "search/FolderWalk.h"

#include "app/core/Failure.h"
#include "app/core/FileSystem.h"
#include "app/core/FolderListing.h"
#include "app/core/ProductTexts.h"
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

    void FoldersLiveIn(std::shared_ptr<const void> storage) override { m_found.KeepAlive(std::move(storage)); }

    void AddFolder(std::string_view entry, const FolderListing& listing) override
    {
        BeginFolder(entry);
        if (m_observer.Abandoned())
            return;
        m_type = m_dateType.load(std::memory_order_relaxed);
        qint64 added = 0;
        for (size_t i = 0; i < listing.FileCount(); ++i) {
            const std::string_view name = listing.FileName(i);
            if (name.front() == '~')
                continue;
            m_found.Add(name, ChosenTime(listing.Times(i), m_type));
            ++added;
        }
        m_progress.files.fetch_add(added, std::memory_order_relaxed);
    }

    void ListSeparately(std::string_view entry) override
    {
        BeginFolder(entry);
        const std::string_view folder = entry.size() > 1 ? entry.substr(0, entry.size() - 1) : entry;
        try {
            m_fileSystem.ListFiles(QString::fromUtf8(folder.data(), static_cast<qsizetype>(folder.size())),
                                   [this](std::string_view name, const FileTimes& times) { AddFile(name, times); });
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
    void BeginFolder(std::string_view entry)
    {
        // The entry without its trailing separator; the root "/" becomes "",
        // so its files read "/name".
        const std::string_view folder = entry.substr(0, entry.size() - 1);
        m_found.BeginFolder(folder);
        if (m_progress.folderChanged)
            m_progress.folderChanged(folder.empty() ? entry : folder);
    }

    void AddFile(std::string_view name, const FileTimes& times)
    {
        if (name.front() == '~' || m_observer.Abandoned())
            return;
        m_type = m_dateType.load(std::memory_order_relaxed);
        m_found.Add(name, ChosenTime(times, m_type));
        m_progress.files.fetch_add(1, std::memory_order_relaxed);
    }

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
        ExpandIntoSink(QStringList{row}, fileSystem, observer, recorder);
    }
}
