#include "search/LevelReader.h"

#include "app/core/FileSystem.h"
#include "search/WalkObserver.h"

#include <pthread.h>

#include <algorithm>

LevelReader::LevelReader(FileSystem& fileSystem, const QStringList& startFolders, const WalkObserver& observer,
                         Rules rules)
    : m_reading(fileSystem.StartFolderReading(startFolders)), m_observer(observer), m_rules(rules)
{
    // The calling thread, which takes the results in order, is one of the
    // workers: it reads whenever the folder it waits for is not ready.
    for (unsigned worker = 1; worker < WorkerCount(); ++worker) {
        m_workers.emplace_back([this] {
            pthread_setname_np(pthread_self(), "orvanta-read");
            Work();
        });
    }
}

LevelReader::~LevelReader()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_workQueued.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

unsigned LevelReader::WorkerCount()
{
    return std::max(2u, std::thread::hardware_concurrency());
}

LevelReader::Slot& LevelReader::Add(std::string_view path, bool read)
{
    const std::lock_guard lock(m_mutex);
    Slot& slot = Place(m_paths->Append(path), 0, read);
    if (slot.queued)
        m_workQueued.notify_one();
    return slot;
}

void LevelReader::Forget(size_t depth)
{
    const std::lock_guard lock(m_mutex);
    for (; m_firstDepth < depth && !m_levels.empty(); ++m_firstDepth)
        m_levels.pop_front();
}

LevelReader::Slot& LevelReader::Place(std::string_view path, size_t depth, bool read)
{
    while (m_firstDepth + m_levels.size() <= depth)
        m_levels.emplace_back();
    Slot& slot = m_levels[depth - m_firstDepth].emplace_back();
    slot.path = path;
    slot.depth = depth;
    slot.queued = read && path.size() < m_rules.longestPath;
    if (slot.queued)
        m_queue.push_back(&slot);
    else
        slot.filled.store(true, std::memory_order_relaxed);
    return slot;
}

LevelReader::Slot& LevelReader::Filled(Slot& slot)
{
    std::unique_lock lock(m_mutex);
    while (!slot.filled.load(std::memory_order_acquire)) {
        if (m_queue.empty()) {
            m_slotFilled.wait(lock);
            continue;
        }
        Slot* next = Next();
        lock.unlock();
        ReadSlot(*next);
        lock.lock();
    }
    return slot;
}

void LevelReader::Work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_workQueued.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_stopping)
            return;
        Slot* next = Next();
        lock.unlock();
        ReadSlot(*next);
        lock.lock();
    }
}

LevelReader::Slot* LevelReader::Next()
{
    Slot* next = m_queue.front();
    m_queue.pop_front();
    if (!m_spareListings.empty()) {
        next->listing = std::move(m_spareListings.back());
        m_spareListings.pop_back();
    }
    return next;
}

void LevelReader::Recycle(Slot& slot)
{
    // A few listings of ordinary size are kept; the rest is freed.
    constexpr size_t kSpares = 64;
    constexpr size_t kLargestSpare = 256 * 1024;
    FolderListing listing = std::move(slot.listing);
    if (listing.Capacity() > kLargestSpare)
        return;
    listing.Clear();
    const std::lock_guard lock(m_mutex);
    if (m_spareListings.size() < kSpares)
        m_spareListings.push_back(std::move(listing));
}

void LevelReader::ReadSlot(Slot& slot)
{
    if (!m_observer.Abandoned()) {
        slot.read = true;
        try {
            m_reading->Read(slot.path, m_rules.lists, m_rules.withFiles, slot.listing);
        } catch (...) {
            slot.failure = std::current_exception();
        }
    }
    Fill(slot);
}

void LevelReader::Fill(Slot& slot)
{
    const FolderListing& listing = slot.listing;
    const bool expands = slot.read && !slot.failure && listing.info && m_rules.lists(*listing.info);
    // Kept by the thread, so a folder's reading allocates no list of its own.
    thread_local std::vector<std::string_view> names;
    names.clear();
    if (expands) {
        for (size_t i = 0; i < listing.SubFolderCount(); ++i) {
            const std::string_view name = listing.SubFolder(i);
            if (m_rules.takes(name))
                names.push_back(name);
        }
    }
    bool queued = false;
    {
        const std::lock_guard lock(m_mutex);
        slot.children.reserve(names.size());
        for (const std::string_view name : names) {
            Slot& child = Place(m_paths->Append({slot.path, name, "/"}), slot.depth + 1, m_rules.deep);
            queued = queued || child.queued;
            slot.children.push_back(&child);
        }
        slot.filled.store(true, std::memory_order_release);
    }
    if (queued)
        m_workQueued.notify_all();
    m_slotFilled.notify_all();
}
