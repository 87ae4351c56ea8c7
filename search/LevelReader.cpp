#include "search/LevelReader.h"

#include "app/core/FileSystem.h"
#include "search/WalkObserver.h"

#include <pthread.h>

#include <algorithm>
#include <chrono>

namespace {
// Statuses a reader asks at a time: small enough to spread a folder of a
// few hundred files over many readers, large enough that handing out a
// batch costs little beside a batch of local calls.
constexpr size_t kStatusBatch = 16;
// Calls of a folder's reading besides its files' statuses: its open and listing.
constexpr unsigned kFolderCalls = 2;

// Measures the wall time of one unit of reading.
class Measure {
public:
    ReaderCount::Unit Done(unsigned calls) const { return {ReaderCount::Clock::now() - m_start, calls}; }

private:
    ReaderCount::Clock::time_point m_start = ReaderCount::Clock::now();
};
}  // namespace

LevelReader::LevelReader(FileSystem& fileSystem, const QStringList& startFolders, const WalkObserver& observer,
                         Rules rules)
    : m_reading(fileSystem.StartFolderReading(startFolders)), m_observer(observer), m_rules(rules),
      m_count(ReaderCount::Cores(),
              m_reading->CallsAreRoundTrips() ? ReaderCount::kFirstForRoundTrips : ReaderCount::Cores(),
              ReaderCount::Clock::now())
{
    // The calling thread, which takes the results in order, is reader 0: it
    // reads whenever the folder it waits for is not ready.
    const std::lock_guard lock(m_mutex);
    StartReaders();
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
    // A folder whose statuses were still being handed out keeps its descriptor open.
    for (Slot* slot : m_statusQueue)
        m_reading->Finish(slot->listing);
}

LevelReader::Slot& LevelReader::Add(std::string_view path, bool read)
{
    const std::lock_guard lock(m_mutex);
    Slot& slot = Place(m_paths->Append(path), 0, read);
    if (slot.queued)
        m_workQueued.notify_all();
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
        if (!ReadSome(lock))
            m_slotFilled.wait(lock);
    }
    return slot;
}

void LevelReader::Work(unsigned index)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        // A reader beyond the count waits until the count grows again.
        m_workQueued.wait(lock, [&] { return m_stopping || (index < m_count.Readers() && WorkWaiting()); });
        if (m_stopping)
            return;
        ReadSome(lock);
    }
}

bool LevelReader::ReadSome(std::unique_lock<std::mutex>& lock)
{
    if (!m_statusQueue.empty()) {
        Slot& slot = *m_statusQueue.front();
        const size_t first = slot.statusesClaimed;
        const size_t last = std::min(first + kStatusBatch, slot.statusCount);
        slot.statusesClaimed = last;
        if (last == slot.statusCount)
            m_statusQueue.pop_front();
        lock.unlock();
        const Unit unit = ReadStatuses(slot, first, last);
        lock.lock();
        Record(unit);
        slot.statusesRead += last - first;
        if (slot.statusesRead == slot.statusCount) {
            lock.unlock();
            FinishStatuses(slot);
            lock.lock();
        }
        return true;
    }
    if (m_queue.empty())
        return false;
    Slot* next = Next();
    lock.unlock();
    const Unit unit = ReadSlot(*next);
    lock.lock();
    Record(unit);
    return true;
}

void LevelReader::Record(const Unit& unit)
{
    if (unit.calls > 0 && m_count.Record(unit, ReaderCount::Clock::now(), WorkWaiting()))
        StartReaders();
}

void LevelReader::StartReaders()
{
    // Once stopping, the workers are being joined: none may be added.
    if (m_stopping)
        return;
    for (auto index = static_cast<unsigned>(m_workers.size() + 1); index < m_count.Readers(); ++index) {
        m_workers.emplace_back([this, index] {
            pthread_setname_np(pthread_self(), "orvanta-read");
            Work(index);
        });
    }
    m_workQueued.notify_all();
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

LevelReader::Unit LevelReader::ReadSlot(Slot& slot)
{
    if (m_observer.Abandoned()) {
        Fill(slot);
        return {};
    }
    const Measure measure;
    slot.read = true;
    try {
        m_reading->Read(slot.path, m_rules.lists, m_rules.withFiles, slot.listing);
    } catch (...) {
        slot.failure = std::current_exception();
    }
    if (!slot.listing.HasPendingFiles()) {
        // Once filled, the slot may be taken and forgotten at once: nothing of it is read after.
        const unsigned calls = kFolderCalls + static_cast<unsigned>(slot.listing.FileCount());
        Fill(slot);
        return measure.Done(calls);
    }
    // A few statuses are read at once; a large folder's are spread over the readers.
    const size_t count = slot.listing.FileCount();
    if (count <= 2 * kStatusBatch) {
        ReadStatuses(slot, 0, count);
        FinishStatuses(slot);
        return measure.Done(kFolderCalls + static_cast<unsigned>(count));
    }
    {
        const std::lock_guard lock(m_mutex);
        slot.statusCount = count;
        m_statusQueue.push_back(&slot);
    }
    // The thread waiting for its folder helps too.
    m_workQueued.notify_all();
    m_slotFilled.notify_all();
    return measure.Done(kFolderCalls);
}

LevelReader::Unit LevelReader::ReadStatuses(Slot& slot, size_t first, size_t last)
{
    // Once the walk is abandoned the statuses are left unread: the slot is
    // filled all the same, its files never used. A stop is looked for before
    // each file, as a share that answers the calls of one folder one at a
    // time can make a batch long.
    const Measure measure;
    size_t file = first;
    for (; file < last && !m_observer.Abandoned(); ++file)
        m_reading->ReadStatuses(slot.listing, file, file + 1);
    return measure.Done(static_cast<unsigned>(file - first));
}

void LevelReader::FinishStatuses(Slot& slot)
{
    m_reading->Finish(slot.listing);
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
