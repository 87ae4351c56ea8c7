#pragma once

#include <QFile>

#include <sys/mount.h>

// A mount on a folder while the object lives (the tests run as root): a tmpfs
// of one MiB, or a bind mount of another folder, read-only if asked.
// Mounted() is false where the system refuses the mount.
class TestMount {
public:
    static TestMount Tmpfs(const QString& at) { return TestMount(at, QByteArray("tmpfs"), "tmpfs", 0); }
    static TestMount Bind(const QString& from, const QString& at, bool readOnly = false)
    {
        TestMount made(at, QFile::encodeName(from), nullptr, MS_BIND);
        if (made.m_mounted && readOnly
            && ::mount(nullptr, made.m_at.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
            ::umount2(made.m_at.constData(), MNT_DETACH);
            made.m_mounted = false;
        }
        return made;
    }
    TestMount(TestMount&& other) noexcept : m_at(other.m_at), m_mounted(other.m_mounted) { other.m_mounted = false; }
    ~TestMount()
    {
        if (m_mounted)
            ::umount2(m_at.constData(), MNT_DETACH);
    }
    bool Mounted() const { return m_mounted; }

private:
    TestMount(const QString& at, const QByteArray& source, const char* type, unsigned long flags)
        : m_at(QFile::encodeName(at)),
          m_mounted(::mount(source.constData(), m_at.constData(), type, flags, type ? "size=1m" : nullptr) == 0)
    {
    }

    QByteArray m_at;
    bool m_mounted;
};
