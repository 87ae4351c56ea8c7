#pragma once

#include <QFile>
#include <QProcess>
#include <QStringList>

#include <sys/mount.h>

// A mount on a folder while the object lives (the tests run as root): a tmpfs
// of one MiB, a bind mount of another folder, read-only if asked, or a FAT or
// exFAT image mounted in user space. Mounted() is false where the system
// refuses the mount or lacks the tools.
class TestMount {
public:
    enum class Fat { Fat, ExFat };

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
    // An 8 MiB image file made and mounted with fusefat, or exFAT through a
    // loop device with exfat-fuse (Debian's dosfstools, fusefat, exfatprogs,
    // exfat-fuse).
    static TestMount FatImage(const QString& image, const QString& at, Fat kind)
    {
        TestMount made(at);
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(8 << 20))
            return made;
        file.close();
        if (kind == Fat::Fat) {
            made.m_mounted = Runs("mkfs.vfat", {image}) && Runs("fusefat", {"-o", "rw+", image, at});
            return made;
        }
        QString device;
        if (!Runs("mkfs.exfat", {image}) || !Runs("losetup", {"-f", "--show", image}, &device))
            return made;
        made.m_mounted = Runs("mount.exfat-fuse", {device, at});
        Runs("losetup", {"-d", device});  // the loop device goes once the mount does
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
    explicit TestMount(const QString& at) : m_at(QFile::encodeName(at)), m_mounted(false) {}
    TestMount(const QString& at, const QByteArray& source, const char* type, unsigned long flags)
        : m_at(QFile::encodeName(at)),
          m_mounted(::mount(source.constData(), m_at.constData(), type, flags, type ? "size=1m" : nullptr) == 0)
    {
    }

    // Runs a tool quietly; true when it ran and succeeded. output gets what it printed, trimmed.
    static bool Runs(const QString& program, const QStringList& arguments, QString* output = nullptr)
    {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit
            || process.exitCode() != 0)
            return false;
        if (output)
            *output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
        return true;
    }

    QByteArray m_at;
    bool m_mounted;
};
