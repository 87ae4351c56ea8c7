// The floor a search walk is measured against: the least work that finds
// every regular file below a folder with its times. Each folder is read with
// getdents64; an entry the listing types as a regular file gets one statx
// relative to the open folder, links not followed; a subfolder goes to a
// shared stack without one (its times are not needed). An entry of unknown
// type gets a statx to learn it. THREADS threads take folders from the stack.
//   floor_walk DIR [THREADS]
// Prints the number of regular files.

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
constexpr size_t kListingBytes = 32 * 1024;

struct LinuxDirent64 {
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[];
};

// Folders still to read, last in first out: a folder's subfolders are read
// next, while their parent's entries are still in the caches.
class FolderStack {
public:
    explicit FolderStack(int threads) : m_threads(threads) {}

    // Adds all of one folder's subfolders under one lock.
    void Push(std::vector<std::string>& folders)
    {
        if (folders.empty())
            return;
        {
            const std::lock_guard lock(m_mutex);
            for (std::string& folder : folders)
                m_folders.push_back(std::move(folder));
        }
        if (folders.size() == 1)
            m_ready.notify_one();
        else
            m_ready.notify_all();
        folders.clear();
    }

    // Waits for a folder; false once the stack is empty with every thread
    // waiting here, as then no folder can come.
    bool Pop(std::string& folder)
    {
        std::unique_lock lock(m_mutex);
        while (m_folders.empty()) {
            if (m_finished)
                return false;
            if (++m_idle == m_threads) {
                m_finished = true;
                m_ready.notify_all();
                return false;
            }
            m_ready.wait(lock);
            --m_idle;
        }
        folder = std::move(m_folders.back());
        m_folders.pop_back();
        return true;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::vector<std::string> m_folders;
    const int m_threads;
    int m_idle = 0;
    bool m_finished = false;
};

std::string ChildPath(const std::string& folder, const char* name)
{
    const size_t length = std::strlen(name);
    std::string path;
    path.reserve(folder.size() + 1 + length);
    path.append(folder).append(1, '/').append(name, length);
    return path;
}

// Counts the regular files of one folder; its subfolders go to subfolders.
long long ReadFolder(const std::string& path, char* buffer, std::vector<std::string>& subfolders)
{
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return 0;
    long long files = 0;
    for (;;) {
        const long bytes = syscall(SYS_getdents64, fd, buffer, kListingBytes);
        if (bytes <= 0)
            break;
        for (long offset = 0; offset < bytes;) {
            const auto* entry = reinterpret_cast<const LinuxDirent64*>(buffer + offset);
            offset += entry->d_reclen;
            const char* name = entry->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            if (entry->d_type == DT_DIR) {
                subfolders.push_back(ChildPath(path, name));
                continue;
            }
            if (entry->d_type != DT_REG && entry->d_type != DT_UNKNOWN)
                continue;
            struct statx status;
            if (statx(fd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_MTIME, &status) != 0)
                continue;
            if (S_ISREG(status.stx_mode))
                ++files;
            else if (S_ISDIR(status.stx_mode))
                subfolders.push_back(ChildPath(path, name));
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
    std::string root = argv[1];
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    FolderStack stack(threads);
    std::vector<std::string> first{root};
    stack.Push(first);
    std::atomic<long long> files{0};
    const auto work = [&] {
        const auto buffer = std::make_unique<char[]>(kListingBytes);
        std::vector<std::string> subfolders;
        std::string folder;
        long long found = 0;
        while (stack.Pop(folder)) {
            found += ReadFolder(folder, buffer.get(), subfolders);
            stack.Push(subfolders);
        }
        files += found;
    };
    std::vector<std::thread> workers;
    for (int i = 1; i < threads; ++i)
        workers.emplace_back(work);
    work();
    for (std::thread& worker : workers)
        worker.join();
    std::printf("%lld\n", files.load());
    return 0;
}
