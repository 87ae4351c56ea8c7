#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

// A small tmpfs mounted on a folder for the life of the object (the tests run
// as root); Mounted() is false where the system refuses the mount.
class MountedTmpfs {
public:
    MountedTmpfs(const QString& folder, qint64 bytes) : m_folder(QFile::encodeName(folder))
    {
        const QByteArray options = "size=" + QByteArray::number(bytes);
        m_mounted = ::mount("tmpfs", m_folder.constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~MountedTmpfs()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    MountedTmpfs(const MountedTmpfs&) = delete;
    MountedTmpfs& operator=(const MountedTmpfs&) = delete;

    bool Mounted() const { return m_mounted; }

    // Takes every free byte with one file, so that the next write fails.
    void Fill() const
    {
        const int fd = ::open((m_folder + "/filler").constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        const QByteArray chunk(64 * 1024, 'f');
        while (fd >= 0 && (::write(fd, chunk.constData(), chunk.size()) > 0 || errno == EINTR)) {
        }
        if (fd >= 0)
            ::close(fd);
    }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};
