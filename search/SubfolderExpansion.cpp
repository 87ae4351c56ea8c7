#include "search/SubfolderExpansion.h"

#include "app/core/Failure.h"
#include "app/core/FileSystem.h"
#include "app/core/ProductTexts.h"
#include "app/core/Utf8Bytes.h"
#include "search/LevelReader.h"
#include "search/WalkObserver.h"

#include <climits>
#include <cstdint>
#include <optional>
#include <vector>

namespace {
constexpr int kSystemFolder = FolderAttribute::Directory | FolderAttribute::Hidden | FolderAttribute::System;
constexpr int kSystemFolderLink = kSystemFolder | FolderAttribute::ReparsePoint;

using Slot = LevelReader::Slot;

// One folder of a level, with what its own examination found out, so that
// merging the level into the one above needs no second look at the disk.
struct Candidate {
    Slot* slot;
    std::optional<bool> accepted;
    bool missing = false;  // a start folder that did not exist
};
using Level = std::vector<Candidate>;

bool TakesSubFolder(std::string_view name)
{
    return name.size() <= NAME_MAX && !HasUnsafeCharacters(name) && name != "." && name != "..";
}

bool IsDenialOrGone(const Failure& failure)
{
    return failure.Number() == ErrorNumber::PermissionDenied || failure.Number() == ErrorNumber::PathNotFound;
}

QString Text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

class Expansion {
public:
    Expansion(const QStringList& folders, bool recursive, FileSystem& fileSystem, WalkObserver& observer,
              FolderFileSink* sink)
        : m_fileSystem(fileSystem), m_observer(observer), m_sink(sink),
          m_reader(fileSystem, folders, observer,
                   {&PassesFolderAcceptance, &TakesSubFolder, PATH_MAX, recursive, sink != nullptr})
    {
        if (m_sink)
            m_sink->FoldersLiveIn(m_reader.PathStorage());
    }

    // The start folders, each queued for reading unless it does not exist or
    // its path is too long; nullopt once the walk is abandoned.
    std::optional<Level> Start(const QStringList& folders)
    {
        Level level;
        for (const QString& folder : folders) {
            if (m_observer.Abandoned())
                return std::nullopt;
            const bool missing = !ExistingFolder(folder, 108);
            level.push_back({&m_reader.Add(folder.toStdString(), !missing), std::nullopt, missing});
            if (missing)
                level.back().accepted = false;
        }
        return level;
    }

    // Judges each folder of the level in order and returns the sub-folders
    // found, in order. Folders that cannot be listed for denial or absence
    // leave the level. With a sink, each folder that will stand in the
    // expanded list has its files given to the sink, in level order.
    // nullopt once the walk is abandoned.
    std::optional<Level> Expand(Level& level, bool starting)
    {
        Level found;
        std::vector<const Slot*> gone;
        for (Candidate& entry : level) {
            if (m_observer.Abandoned())
                return std::nullopt;
            if (entry.missing)
                continue;
            Slot& slot = *entry.slot;
            if (!slot.queued) {
                // Kept unexpanded: a start folder as it is, a folder below when it passes the test.
                if (m_sink && (starting || Accepted(entry)))
                    m_sink->ListSeparately(slot.path);
                continue;
            }
            m_reader.Filled(slot);
            if (!slot.read)
                return std::nullopt;  // left unread when the walk was abandoned
            if (!Judge(entry, starting, found))
                gone.push_back(&slot);
            m_reader.Recycle(slot);
        }
        // The first entry equal to each gone folder leaves the level.
        for (const Slot* slot : gone) {
            for (auto it = level.begin(); it != level.end(); ++it) {
                if (it->slot->path == slot->path) {
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
            const QString path = Text(entry.slot->path);
            if (ExistingFolder(path, 154)) {
                try {
                    entry.accepted = PassesFolderAcceptance(m_fileSystem.GetFolder(path));
                } catch (const std::exception& error) {
                    Report(158, error);
                }
            }
        }
        return *entry.accepted;
    }

    void ForgetAbove(size_t depth) { m_reader.Forget(depth); }

private:
    // Takes a read folder's results: its files to the sink and its accepted
    // sub-folders to the level below. False when it was denied or has gone:
    // from here on such a folder leaves the list silently; any other failure
    // only ends this folder's listing.
    bool Judge(Candidate& entry, bool starting, Level& found)
    {
        const Slot& slot = *entry.slot;
        try {
            if (!slot.listing.info)
                std::rethrow_exception(slot.failure);
            entry.accepted = PassesFolderAcceptance(*slot.listing.info);
            if (!*entry.accepted) {
                if (m_sink && starting)
                    m_sink->ListSeparately(slot.path);
                return true;
            }
            if (m_sink)
                m_sink->AddFolder(slot.path, slot.listing);
            if (slot.failure)
                std::rethrow_exception(slot.failure);
            for (Slot* child : slot.children)
                found.push_back({child, std::nullopt});
        } catch (const Failure& failure) {
            if (IsDenialOrGone(failure))
                return false;
            ListAfterFailure(entry, starting);
        } catch (const std::exception&) {
            ListAfterFailure(entry, starting);
        }
        return true;
    }

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
            m_sink->ListSeparately(entry.slot->path);
    }

    FileSystem& m_fileSystem;
    WalkObserver& m_observer;
    FolderFileSink* m_sink;
    LevelReader m_reader;
};

// Level by level instead of by recursion: the order is the same, and a deep
// tree costs no stack. With `expanded`, the list of all folders is put there.
void Expand(const QStringList& folders, bool recursive, FileSystem& fileSystem, WalkObserver& observer,
            FolderFileSink* sink, QStringList* expanded)
{
    Expansion expansion(folders, recursive, fileSystem, observer, sink);
    std::optional<Level> start = expansion.Start(folders);
    if (!start)
        return;
    std::vector<Level> levels{std::move(*start)};
    // Without a list to give back only the level being judged is kept, so
    // the start level is told apart by this, not by the number of levels.
    bool starting = true;
    for (;;) {
        std::optional<Level> found = expansion.Expand(levels.back(), starting);
        if (!found)
            return;
        starting = false;
        const bool last = found->empty() || !recursive;
        // Without a list to give back, only the level being judged is kept.
        if (!expanded) {
            levels.clear();
            expansion.ForgetAbove(found->empty() ? SIZE_MAX : found->front().slot->depth);
        }
        levels.push_back(std::move(*found));
        if (last)
            break;
    }
    if (!expanded)
        return;
    expanded->clear();
    for (const Candidate& entry : levels[0])
        *expanded << Text(entry.slot->path);
    for (size_t depth = 1; depth < levels.size(); ++depth) {
        for (Candidate& entry : levels[depth]) {
            if (observer.Abandoned())
                return;
            if (expansion.Accepted(entry))
                *expanded << Text(entry.slot->path);
        }
    }
}
}  // namespace

bool HasUnsafeCharacters(std::string_view name)
{
    if (!IsUtf8(name))
        return true;
    for (size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        // U+0080 to U+009F are 0xc2 0x80 to 0xc2 0x9f.
        const bool c1Control = c == 0xc2 && i + 1 < name.size() && static_cast<unsigned char>(name[i + 1]) <= 0x9f;
        if (c < 32 || c == 127 || c1Control)
            return true;
    }
    return false;
}

bool PassesFolderAcceptance(const FolderInfo& info)
{
    return info.isRoot || (info.attributes != kSystemFolder && info.attributes != kSystemFolderLink);
}

void GetSubDirectories2016(QStringList& folders, bool recursive, FileSystem& fileSystem, WalkObserver& observer)
{
    Expand(folders, recursive, fileSystem, observer, nullptr, &folders);
}

void ExpandIntoSink(const QStringList& folders, FileSystem& fileSystem, WalkObserver& observer, FolderFileSink& sink)
{
    Expand(folders, true, fileSystem, observer, &sink, nullptr);
}
