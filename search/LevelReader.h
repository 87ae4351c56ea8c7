#pragma once

#include "app/FileSystem.h"

#include <QString>

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class WalkObserver;

// Reads the folders of one level of the expansion on every core. Each folder
// is read once, for its status, its sub-folders and (when asked) its files;
// what it gave lands in that folder's own slot, and each worker records file
// names into an arena of its own, so the results read back in the level's
// order whatever the scheduling. Folders are handed out one at a time.
class LevelReader {
public:
    // What reading one folder gave.
    struct Slot {
        // Set when the folder could be opened.
        std::optional<FolderInfo> info;
        // What opening or listing the folder threw, if anything; the files
        // met before it are kept.
        std::exception_ptr failure;
        std::vector<SubFolderName> subFolders;
        uint32_t worker = 0;
        size_t firstFile = 0;
        size_t fileCount = 0;
    };
    using Lists = std::function<bool(const FolderInfo& info)>;

    // Folders whose status `lists` holds for are listed; withFiles lists
    // their files too.
    LevelReader(FileSystem& fileSystem, const WalkObserver& observer, bool withFiles, Lists lists);

    // Threads that read a level: as many as the machine has cores, at least 2.
    static unsigned WorkerCount();

    // Reads the folders, the calling thread being one of the workers; returns
    // when all are read, or early once the walk is abandoned (the slots of
    // unread folders stay empty).
    void Read(const std::vector<QString>& paths);

    const Slot& SlotAt(size_t index) const { return m_slots[index]; }
    // Calls visit(utf8Name, times) for each file of the slot, in listing order.
    template <typename Visit>
    void ForEachFile(const Slot& slot, Visit&& visit) const
    {
        const Arena& arena = m_arenas[slot.worker];
        for (size_t i = slot.firstFile; i < slot.firstFile + slot.fileCount; ++i) {
            const File& file = arena.files[i];
            visit(std::string_view(arena.names).substr(file.nameOffset, file.nameLength), file.times);
        }
    }

private:
    // 32 bytes a file; a level's names stay far below 4 GB.
    struct File {
        FileTimes times;
        uint32_t nameOffset;
        uint32_t nameLength;
    };
    struct Arena {
        std::vector<File> files;
        std::string names;
    };

    void ReadFolder(const QString& path, Slot& slot, uint32_t worker);

    FileSystem& m_fileSystem;
    const WalkObserver& m_observer;
    const bool m_withFiles;
    const Lists m_lists;
    std::vector<Slot> m_slots;
    std::vector<Arena> m_arenas;
};
