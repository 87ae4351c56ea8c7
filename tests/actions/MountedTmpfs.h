#pragma once

#include <QFile>

#include <sys/mount.h>

// A tmpfs of one MiB on a folder while the object lives (the tests run as
// root); Mounted() is false where the system refuses the mount.
class MountedTmpfs {
public:
    explicit MountedTmpfs(const QString& folder)
        : m_folder(QFile::encodeName(folder)),
          m_mounted(::mount("tmpfs", m_folder.constData(), "tmpfs", 0, "size=1m") == 0)
    {
    }
    ~MountedTmpfs()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    MountedTmpfs(const MountedTmpfs&) = delete;
    MountedTmpfs& operator=(const MountedTmpfs&) = delete;
    bool Mounted() const { return m_mounted; }

private:
    QByteArray m_folder;
    bool m_mounted;
};
