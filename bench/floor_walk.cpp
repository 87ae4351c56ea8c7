// The floor a search walk is measured against: the least work that finds
// every regular file below a folder with its times. Each folder is read with
// getdents64, then one statx per entry relative to the open folder, links not
// followed; folders go to a shared queue that THREADS threads take from.
//   floor_walk DIR [THREADS]
// Prints the number of regular files.

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
struct LinuxDirent64 {
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[];
};

class FolderQueue {
public:
    void Push(std::string folder)
    {
        const std::lock_guard lock(m_mutex);
        m_folders.push_back(std::move(folder));
        m_ready.notify_one();
    }
    // Waits for a folder; false once every folder is done.
    bool Pop(std::string& folder)
    {
        std::unique_lock lock(m_mutex);
        m_ready.wait(lock, [this] { return !m_folders.empty() || m_busy == 0; });
        if (m_folders.empty())
            return false;
        folder = std::move(m_folders.front());
        m_folders.pop_front();
        ++m_busy;
        return true;
    }
    void Done()
    {
        const std::lock_guard lock(m_mutex);
        if (--m_busy == 0 && m_folders.empty())
            m_ready.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<std::string> m_folders;
    int m_busy = 0;
};

long long ReadFolder(const std::string& path, FolderQueue& queue)
{
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    long long files = 0;
    alignas(8) char buffer[64 * 1024];
    for (;;) {
        const long bytes = syscall(SYS_getdents64, fd, buffer, sizeof buffer);
        if (bytes <= 0)
            break;
        for (long offset = 0; offset < bytes;) {
            const auto* entry = reinterpret_cast<const LinuxDirent64*>(buffer + offset);
            offset += entry->d_reclen;
            const char* name = entry->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            struct statx status;
            if (statx(fd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_MTIME, &status) != 0)
                continue;
            if (S_ISREG(status.stx_mode))
                ++files;
            else if (S_ISDIR(status.stx_mode))
                queue.Push(path + '/' + name);
        }
    }
    close(fd);
    return files;
}
}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: floor_walk DIR [THREADS]\n");
        return 2;
    }
    const int threads = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
    FolderQueue queue;
    queue.Push(argv[1]);
    std::atomic<long long> files{0};
    std::vector<std::thread> workers;
    for (int i = 0; i < threads; ++i) {
        workers.emplace_back([&] {
            std::string folder;
            while (queue.Pop(folder)) {
                files += ReadFolder(folder, queue);
                queue.Done();
            }
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    std::printf("%lld\n", files.load());
    return 0;
}
