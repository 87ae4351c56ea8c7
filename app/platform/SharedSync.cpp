#include "app/platform/SharedSync.h"

#include "app/core/Failure.h"

#include <cerrno>
#include <map>
#include <mutex>

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace {
// Where syncfs only hands the data to a daemon or a server, which keep their own buffers.
bool SyncfsReachesStorage(int folderFd)
{
    struct statfs fileSystem {};
    if (::fstatfs(folderFd, &fileSystem) != 0)
        return false;
    switch (static_cast<unsigned long>(fileSystem.f_type)) {
    case FUSE_SUPER_MAGIC:
    case NFS_SUPER_MAGIC:
    case CIFS_SUPER_MAGIC:
    case SMB2_SUPER_MAGIC:
    case CEPH_SUPER_MAGIC:
    case V9FS_MAGIC:
        return false;
    default:
        return true;
    }
}

struct Device {
    int waiting = 0;
    uint64_t durableUpTo = 0;  // every ticket up to this one is durable
};

std::mutex g_mutex;
std::map<dev_t, Device> g_devices;
uint64_t g_lastTicket = 0;

// A file system that cannot sync a file or folder has nothing to make durable.
bool CannotSync(int error)
{
    return error == EINVAL || error == EROFS || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS;
}
}  // namespace

SharedSync::SharedSync(int folderFd) : m_folderFd(folderFd), m_shared(SyncfsReachesStorage(folderFd))
{
    struct stat status {};
    if (::fstat(folderFd, &status) == 0)
        m_device = status.st_dev;
    const std::lock_guard lock(g_mutex);
    ++g_devices[m_device].waiting;
    m_ticket = ++g_lastTicket;
}

SharedSync::~SharedSync()
{
    if (!m_waiting)
        return;
    const std::lock_guard lock(g_mutex);
    --g_devices[m_device].waiting;
}

void SharedSync::Settle(int fd)
{
    if (!m_waiting)
        return;
    std::unique_lock lock(g_mutex);
    Device& device = g_devices[m_device];
    int error = 0;
    if (device.durableUpTo < m_ticket) {
        const bool alone = device.waiting <= 1 || !m_shared;
        const uint64_t upTo = g_lastTicket;
        lock.unlock();
        if ((alone ? ::fsync(fd) : ::syncfs(m_folderFd)) != 0)
            error = errno;
        lock.lock();
        if (error == 0 && !alone && device.durableUpTo < upTo)
            device.durableUpTo = upTo;
    }
    --device.waiting;
    m_waiting = false;
    lock.unlock();
    if (error != 0 && !CannotSync(error))
        throw FailureFromErrno(error);
}
