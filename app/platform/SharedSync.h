#pragma once

#include <sys/types.h>

#include <cstdint>

// Durability shared by the files written on one file system: a syncfs that
// starts after a file was written makes it durable, so files made durable one
// after another share one syncfs. A file that waits alone, or one on a file
// system whose syncfs does not reach the storage (FUSE, network file systems),
// is synced by itself.
class SharedSync {
public:
    // Notes, once the write is done, that what was written in the folder
    // waits to be made durable.
    explicit SharedSync(int folderFd);
    ~SharedSync();
    SharedSync(const SharedSync&) = delete;
    SharedSync& operator=(const SharedSync&) = delete;

    // Makes it durable: fd is what a sync of its own would sync (the file, or
    // the folder for a name). Throws a Failure when the system reports a
    // write error.
    void Settle(int fd);

private:
    int m_folderFd;
    dev_t m_device = 0;
    uint64_t m_ticket = 0;
    bool m_shared = false;
    bool m_waiting = true;
};
