#include "tests/support/TestDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>

#include <stdexcept>

TestDir::TestDir()
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

QString TestDir::Path(const QString& relative) const
{
    return relative.isEmpty() ? m_dir.path() : m_dir.path() + QLatin1Char('/') + relative;
}

QString TestDir::CreateFolder(const QString& relative)
{
    const QString path = Path(relative);
    if (!QDir().mkpath(path))
        throw std::runtime_error("cannot create a folder");
    return path;
}

QString TestDir::CreateFile(const QString& relative, const QByteArray& data, const QDateTime& time)
{
    const QString path = Path(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        throw std::runtime_error("cannot create a file");
    file.close();
    if (time.isValid())
        SetTimes(path, time.toSecsSinceEpoch(), time.toSecsSinceEpoch());
    return path;
}

void TestDir::SetTimes(const QString& path, qint64 modified, qint64 accessed)
{
    const struct timespec times[2] = {{static_cast<time_t>(accessed), 0}, {static_cast<time_t>(modified), 0}};
    if (utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) != 0)
        throw std::runtime_error("cannot set file times");
}
