#include "search/SubfolderExpansion.h"

#include "app/Failure.h"
#include "app/FileSystem.h"
#include "app/ProductTexts.h"
#include "folders/PathSeparator.h"
#include "search/LevelReader.h"
#include "search/WalkObserver.h"

#include <climits>
#include <cstdint>
#include <optional>
#include <vector>

namespace {
constexpr int kSystemFolder = FolderAttribute::Directory | FolderAttribute::Hidden | FolderAttribute::System;
constexpr int kSystemFolderLink = kSystemFolder | FolderAttribute::ReparsePoint;

// One folder of a level, with what its own examination found out, so that
// merging the level into the one above needs no second look at the disk.
struct Candidate {
    QString path;
    std::optional<bool> accepted;
};
using Level = std::vector<Candidate>;

bool PathTooLong(const QString& path)
{
    return path.toUtf8().size() >= PATH_MAX;
}

bool NameTooLong(const QString& name)
{
    return name.toUtf8().size() > NAME_MAX;
}

bool IsDenialOrGone(const Failure& failure)
{
    return failure.Number() == ErrorNumber::PermissionDenied || failure.Number() == ErrorNumber::PathNotFound;
}

class Expansion {
public:
    Expansion(FileSystem& fileSystem, WalkObserver& observer, FolderFileSink* sink)
        : m_fileSystem(fileSystem), m_observer(observer), m_sink(sink),
          m_reader(fileSystem, observer, sink != nullptr, &PassesFolderAcceptance)
    {
    }

    // Examines each folder of the level and returns the sub-folders found, in
    // order. Folders that cannot be listed for denial or absence leave the
    // level. With a sink, each folder that will stand in the expanded list
    // has its files given to the sink, in level order.
    std::optional<Level> Expand(Level& level, bool starting)
    {
        // The folders are read all at once, then judged in order. A folder
        // found below was a real folder a moment ago: opening it (GetFolder)
        // is its existence test, and one that has gone since leaves the list
        // just the same. A path too long is not read.
        constexpr size_t kMissing = SIZE_MAX;
        constexpr size_t kTooLong = SIZE_MAX - 1;
        std::vector<size_t> slotOf(level.size(), kTooLong);
        std::vector<QString> paths;
        for (size_t k = 0; k < level.size(); ++k) {
            if (m_observer.Abandoned())
                return std::nullopt;
            Candidate& entry = level[k];
            if (starting && !ExistingFolder(entry.path, 108)) {
                entry.accepted = false;
                slotOf[k] = kMissing;
            } else if (!PathTooLong(entry.path)) {
                slotOf[k] = paths.size();
                paths.push_back(entry.path);
            }
        }
        m_reader.Read(paths);

        Level found;
        QStringList gone;
        for (size_t k = 0; k < level.size(); ++k) {
            if (m_observer.Abandoned())
                return std::nullopt;
            Candidate& entry = level[k];
            if (slotOf[k] == kMissing)
                continue;
            if (slotOf[k] == kTooLong) {
                // Kept unexpanded: a starting folder as it is, a folder below when it passes the test.
                if (m_sink && (starting || Accepted(entry)))
                    m_sink->ListSeparately(entry.path);
                continue;
            }
            // From here on, a denied or vanished folder leaves the list
            // silently; any other failure only ends this folder's listing.
            const LevelReader::Slot& slot = m_reader.SlotAt(slotOf[k]);
            if (!slot.info && !slot.failure)
                return std::nullopt;  // left unread when the walk was abandoned
            try {
                if (!slot.info)
                    std::rethrow_exception(slot.failure);
                entry.accepted = PassesFolderAcceptance(*slot.info);
                if (!*entry.accepted) {
                    if (m_sink && starting)
                        m_sink->ListSeparately(entry.path);
                    continue;
                }
                if (m_sink) {
                    m_sink->BeginFolder(entry.path);
                    m_reader.ForEachFile(slot, [this](std::string_view name, const FileTimes& times) {
                        m_sink->VisitFile(name, times);
                    });
                }
                if (slot.failure)
                    std::rethrow_exception(slot.failure);
                for (const SubFolderName& sub : slot.subFolders) {
                    if (NameTooLong(sub.name) || HasUnsafeCharacters(sub) || sub.name == QLatin1String(".")
                        || sub.name == QLatin1String(".."))
                        continue;
                    found.push_back({entry.path + sub.name + kPathSeparator, std::nullopt});
                }
            } catch (const Failure& failure) {
                if (IsDenialOrGone(failure))
                    gone << entry.path;
                else
                    ListAfterFailure(entry, starting);
            } catch (const std::exception&) {
                ListAfterFailure(entry, starting);
            }
        }
        for (const QString& path : gone) {
            for (auto it = level.begin(); it != level.end(); ++it) {
                if (it->path == path) {
                    level.erase(it);
                    break;
                }
            }
        }
        return found;
    }

    // Whether a folder found below goes into the expanded list.
    bool Accepted(Candidate& entry)
    {
        if (!entry.accepted) {
            entry.accepted = false;
            if (ExistingFolder(entry.path, 154)) {
                try {
                    entry.accepted = PassesFolderAcceptance(m_fileSystem.GetFolder(entry.path));
                } catch (const std::exception& error) {
                    Report(158, error);
                }
            }
        }
        return *entry.accepted;
    }

private:
    // An existence test that fails is reported and counts as not held, so
    // the folder is passed over instead of ending the walk.
    bool ExistingFolder(const QString& path, int step)
    {
        try {
            return m_fileSystem.IsExistingFolder(path);
        } catch (const std::exception& error) {
            Report(step, error);
            return false;
        }
    }

    void Report(int step, const std::exception& error)
    {
        const auto* failure = dynamic_cast<const Failure*>(&error);
        m_observer.ReportFailure(LocationTag::kSubDirectories, step,
                                 failure ? failure->Description() : QString::fromLocal8Bit(error.what()));
    }

    // A folder whose reading failed for another reason stays in the list
    // when it passes the test, so its files are listed on their own.
    void ListAfterFailure(Candidate& entry, bool starting)
    {
        if (m_sink && (starting || Accepted(entry)))
            m_sink->ListSeparately(entry.path);
    }

    FileSystem& m_fileSystem;
    WalkObserver& m_observer;
    FolderFileSink* m_sink;
    LevelReader m_reader;
};
}  // namespace

bool HasUnsafeCharacters(const SubFolderName& name)
{
    if (!name.decodes)
        return true;
    for (QChar c : name.name) {
        const char16_t code = c.unicode();
        if (code < 32 || (code >= 127 && code <= 159))
            return true;
    }
    return false;
}

bool PassesFolderAcceptance(const FolderInfo& info)
{
    return info.isRoot || (info.attributes != kSystemFolder && info.attributes != kSystemFolderLink);
}

void GetSubDirectories2016(QStringList& folders, bool recursive, FileSystem& fileSystem, WalkObserver& observer,
                           FolderFileSink* sink)
{
    // Level by level instead of by recursion: the order is the same, and a
    // deep tree costs no stack.
    Expansion expansion(fileSystem, observer, recursive ? sink : nullptr);
    std::vector<Level> levels(1);
    for (const QString& folder : folders)
        levels[0].push_back({folder, std::nullopt});
    for (;;) {
        std::optional<Level> found = expansion.Expand(levels.back(), levels.size() == 1);
        if (!found)
            return;
        const bool last = found->empty() || !recursive;
        levels.push_back(std::move(*found));
        if (last)
            break;
    }
    folders.clear();
    for (const Candidate& entry : levels[0])
        folders << entry.path;
    for (size_t depth = 1; depth < levels.size(); ++depth) {
        for (Candidate& entry : levels[depth]) {
            if (observer.Abandoned())
                return;
            if (expansion.Accepted(entry))
                folders << entry.path;
        }
    }
}
