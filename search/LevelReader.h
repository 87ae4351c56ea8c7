#pragma once

#include "app/core/FolderListing.h"
#include "app/core/FolderReading.h"
#include "app/core/Utf8TextStore.h"
#include "search/ReaderCount.h"

#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

class FileSystem;
class WalkObserver;

// Reads the folders of an expansion on several readers, as many as
// ReaderCount finds worth it: one per core where calls do not wait, many
// calls in flight where they do (a network share). Each folder is read once,
// for its status, its sub-folders and (when asked) its files, into a slot of
// its own; a folder's sub-folders get their slots, in listing order, and are
// queued for reading as soon as the folder is read, so a deep, narrow tree
// does not wait for a whole level. The statuses of a large folder's files
// are read in batches by every reader, before any further folder is opened,
// and the folder's slot is filled once all are in. Whatever the scheduling,
// the expansion reads the slots back in its own order. Folders are handed
// out one at a time, oldest first.
class LevelReader {
public:
    struct Rules {
        // Folders whose sub-folders and files are read.
        FolderReading::Lists lists;
        // Names of sub-folders that the walk takes.
        bool (*takes)(std::string_view name);
        // A path (with its trailing separator) at least this long is not read.
        size_t longestPath;
        // Whether the sub-folders found are read in turn.
        bool deep;
        bool withFiles;
    };

    // One folder of the expansion. Its reading is complete once Filled
    // returned it; until then only the worker that reads it touches it.
    struct Slot {
        std::string_view path;  // UTF-8, ending in the separator; kept by PathStorage()
        size_t depth = 0;  // 0 for a start folder
        bool queued = false;  // to be read; false when the rules leave it unread
        bool read = false;  // false when left unread because the walk was abandoned
        FolderListing listing;
        std::exception_ptr failure;  // what the reading threw, if anything
        // The files whose statuses are read in batches, those handed out and those read.
        size_t statusCount = 0;
        size_t statusesClaimed = 0;
        size_t statusesRead = 0;
        // The sub-folders of a listed folder that the walk takes, in listing order.
        std::vector<Slot*> children;
        std::atomic<bool> filled{false};
    };

    LevelReader(FileSystem& fileSystem, const QStringList& startFolders, const WalkObserver& observer, Rules rules);
    // Stops the workers; a folder being read is finished first.
    ~LevelReader();

    // A start folder, queued for reading when `read` is true and its path is short enough.
    Slot& Add(std::string_view path, bool read);
    // What keeps the slots' paths alive; they never move, so they can be
    // referred to instead of copied, also after the reader has gone.
    std::shared_ptr<const void> PathStorage() const { return m_paths; }
    // Waits until the slot is filled, the calling thread reading queued
    // folders meanwhile.
    Slot& Filled(Slot& slot);
    // Takes back the slot's listing, once its files and sub-folders were
    // taken, to give its room to a folder read later.
    void Recycle(Slot& slot);
    // Gives back the slots above this depth; none of them is used again.
    void Forget(size_t depth);

private:
    using Unit = ReaderCount::Unit;

    void Work(unsigned index);
    // Reads one batch of statuses or one folder, the mutex held before and
    // after; false when there is nothing to read.
    bool ReadSome(std::unique_lock<std::mutex>& lock);
    Unit ReadSlot(Slot& slot);
    Unit ReadStatuses(Slot& slot, size_t first, size_t last);
    // Settles the files once all statuses are in, then fills the slot.
    void FinishStatuses(Slot& slot);
    // Counts a unit read; starts the readers that a higher count calls for.
    // Called with the mutex held.
    void Record(const Unit& unit);
    // Starts the threads up to the count and wakes the readers; with the mutex held.
    void StartReaders();
    bool WorkWaiting() const { return !m_statusQueue.empty() || !m_queue.empty(); }
    // Makes the slots of the slot's sub-folders, then marks it filled.
    void Fill(Slot& slot);
    // A new slot at the depth, its path already stored: queued for reading
    // when `read` is true and its path is short enough, else filled as it
    // is. Called with the mutex held.
    Slot& Place(std::string_view path, size_t depth, bool read);
    // The next queued slot, with a spare listing if there is one; called
    // with the mutex held.
    Slot* Next();

    const std::unique_ptr<FolderReading> m_reading;
    const WalkObserver& m_observer;
    const Rules m_rules;

    std::mutex m_mutex;
    // Added to with the mutex held.
    const std::shared_ptr<Utf8TextStore> m_paths = std::make_shared<Utf8TextStore>();
    std::condition_variable m_workQueued;
    std::condition_variable m_slotFilled;
    // The slots by depth, from m_firstDepth on; a slot never moves once made.
    std::deque<std::deque<Slot>> m_levels;
    size_t m_firstDepth = 0;
    std::deque<Slot*> m_queue;
    // Folders with statuses still to hand out, oldest first.
    std::deque<Slot*> m_statusQueue;
    ReaderCount m_count;
    std::vector<FolderListing> m_spareListings;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};
