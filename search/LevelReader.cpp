#include "search/LevelReader.h"

#include "search/WalkObserver.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <thread>

LevelReader::LevelReader(FileSystem& fileSystem, const WalkObserver& observer, bool withFiles, Lists lists)
    : m_fileSystem(fileSystem), m_observer(observer), m_withFiles(withFiles), m_lists(std::move(lists)),
      m_arenas(WorkerCount())
{
}

unsigned LevelReader::WorkerCount()
{
    return std::max(2u, std::thread::hardware_concurrency());
}

void LevelReader::Read(const std::vector<QString>& paths)
{
    m_slots.assign(paths.size(), Slot{});
    for (Arena& arena : m_arenas) {
        arena.files.clear();
        arena.names.clear();
    }
    std::atomic<size_t> next{0};
    const auto work = [&](uint32_t worker) {
        for (size_t i = next.fetch_add(1); i < paths.size() && !m_observer.Abandoned(); i = next.fetch_add(1))
            ReadFolder(paths[i], m_slots[i], worker);
    };
    const auto helpers = static_cast<uint32_t>(std::min<size_t>(m_arenas.size(), paths.size()));
    std::vector<std::jthread> threads;
    for (uint32_t worker = 1; worker < helpers; ++worker) {
        threads.emplace_back([&work, worker] {
            pthread_setname_np(pthread_self(), "orvanta-read");
            work(worker);
        });
    }
    work(0);
}

void LevelReader::ReadFolder(const QString& path, Slot& slot, uint32_t worker)
{
    Arena& arena = m_arenas[worker];
    slot.worker = worker;
    slot.firstFile = arena.files.size();
    try {
        slot.info = m_fileSystem.GetFolder(path);
        if (m_lists(*slot.info)) {
            if (m_withFiles) {
                const auto record = [&arena](std::string_view name, const FileTimes& times) {
                    arena.files.push_back(
                        {times, static_cast<uint32_t>(arena.names.size()), static_cast<uint32_t>(name.size())});
                    arena.names.append(name);
                };
                m_fileSystem.ListFolder(path, slot.subFolders, record);
            } else {
                slot.subFolders = m_fileSystem.SubFolders(path);
            }
        }
    } catch (...) {
        slot.failure = std::current_exception();
    }
    slot.fileCount = arena.files.size() - slot.firstFile;
}
