#include "app/platform/AbandonedCopies.h"

#include <QFile>
#include <QList>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {
QByteArray ReadSmallFile(const QByteArray& path)
{
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::ReadOnly) ? file.read(4096) : QByteArray();
}

QByteArray BootId()
{
    static const QByteArray id = ReadSmallFile("/proc/sys/kernel/random/boot_id").trimmed().replace('-', "").left(8);
    return id;
}

// The start time of the process in clock ticks since boot: field 22 of its
// stat line, counted after the name in parentheses (which may hold anything).
QByteArray StartTicks(pid_t pid)
{
    const QByteArray line = ReadSmallFile("/proc/" + QByteArray::number(pid) + "/stat");
    const qsizetype nameEnd = line.lastIndexOf(')');
    if (nameEnd < 0)
        return {};
    const QList<QByteArray> fields = line.mid(nameEnd + 2).split(' ');
    return fields.size() > 19 ? fields[19] : QByteArray();
}

QByteArray Random()
{
    return QByteArray::number(QRandomGenerator::global()->generate(), 36);
}

bool OwnerRuns(const QByteArray& owner)
{
    const QList<QByteArray> parts = owner.split('-');
    return parts[2] == BootId() && StartTicks(parts[0].toInt()) == parts[1];
}
}  // namespace

QByteArray OwnerOf(pid_t pid)
{
    const QByteArray start = StartTicks(pid);
    return start.isEmpty() ? QByteArray() : QByteArray::number(pid) + '-' + start + '-' + BootId();
}

QByteArray TemporaryName(const QByteArray& name)
{
    static const QByteArray owner = OwnerOf(::getpid());
    return "." + name.left(200) + "." + owner + "." + Random() + ".part";
}

QByteArray ReservingName(const QByteArray& name)
{
    static const QByteArray owner = OwnerOf(::getpid());
    const QByteArray reserving = "." + name + "." + owner + "." + Random() + ".take";
    return reserving.size() <= NAME_MAX ? reserving : QByteArray();
}

void RemoveAbandonedCopies(int folderFd)
{
    static std::mutex mutex;
    static std::set<std::pair<dev_t, ino_t>> swept;
    struct stat folder {};
    if (::fstat(folderFd, &folder) != 0)
        return;
    {
        const std::lock_guard lock(mutex);
        if (!swept.insert({folder.st_dev, folder.st_ino}).second)
            return;
    }
    const int fd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* const entries = fd < 0 ? nullptr : ::fdopendir(fd);
    if (entries == nullptr) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    // ".<name>.<owner>.<random>.part" or ".take"
    static const QRegularExpression temporary(
        QStringLiteral("^\\.(.+)\\.(\\d+-\\d+-[0-9a-f]{8})\\.[0-9a-z]+\\.(part|take)$"),
        QRegularExpression::DotMatchesEverythingOption);
    std::vector<std::pair<QByteArray, QByteArray>> abandoned;  // the temporary, and the name it reserved
    while (const dirent* entry = ::readdir(entries)) {
        const QByteArray name(entry->d_name);
        const QRegularExpressionMatch match = temporary.match(QString::fromUtf8(name));
        if (!match.hasMatch() || OwnerRuns(match.captured(2).toLatin1()))
            continue;
        abandoned.emplace_back(name, match.captured(3) == QLatin1String("take") ? match.captured(1).toUtf8()
                                                                                : QByteArray());
    }
    ::closedir(entries);
    for (const auto& [name, reserved] : abandoned) {
        struct stat status {};
        if (!reserved.isEmpty() && ::fstatat(folderFd, reserved.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISREG(status.st_mode) && status.st_size == 0)
            ::unlinkat(folderFd, reserved.constData(), 0);
        ::unlinkat(folderFd, name.constData(), 0);
    }
}
