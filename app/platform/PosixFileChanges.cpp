#include "app/platform/PosixFileSystem.h"

#include "app/Failure.h"
#include "app/platform/PosixDescriptor.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

// Changing side: copy, delete and text files. Nothing here ever
// leaves a partial file under a name the user sees.

namespace {
constexpr size_t kCopyChunk = 1 << 20;

QByteArray Encoded(const QString& path)
{
    return QFile::encodeName(path);
}

// A temporary file in a folder, removed again unless it was renamed into place.
class TemporaryFile {
public:
    TemporaryFile(int folderFd, const QByteArray& targetName) : m_folderFd(folderFd)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            m_name = "." + targetName.left(200) + "."
                + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".part";
            m_fd = ::openat(folderFd, m_name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (m_fd >= 0 || errno != EEXIST)
                break;
        }
        if (m_fd < 0)
            throw FailureFromErrno(errno);
    }
    ~TemporaryFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_renamed)
            ::unlinkat(m_folderFd, m_name.constData(), 0);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int Fd() const { return m_fd; }
    void Close()
    {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            throw FailureFromErrno(errno);
    }
    // Gives the file its final name; never replaces an existing file.
    void RenameTo(const QByteArray& name)
    {
        if (::renameat2(m_folderFd, m_name.constData(), m_folderFd, name.constData(), RENAME_NOREPLACE) == 0) {
            m_renamed = true;
            return;
        }
        if (errno != EINVAL && errno != ENOSYS)
            throw FailureFromErrno(errno);
        // File systems without an exclusive rename: a hard link fails on an existing name too.
        if (::linkat(m_folderFd, m_name.constData(), m_folderFd, name.constData(), 0) != 0)
            throw FailureFromErrno(errno);
        ::unlinkat(m_folderFd, m_name.constData(), 0);
        m_renamed = true;
    }

private:
    int m_folderFd;
    int m_fd = -1;
    QByteArray m_name;
    bool m_renamed = false;
};

void WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throw FailureFromErrno(errno);
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
}

// Copies the content of one open file into another, in chunks.
void CopyContent(int from, int to, const std::function<void()>& betweenChunks)
{
    std::vector<char> buffer(kCopyChunk);
    for (;;) {
        const ssize_t count = ::read(from, buffer.data(), buffer.size());
        if (count < 0) {
            if (errno == EINTR)
                continue;
            throw FailureFromErrno(errno);
        }
        if (count == 0)
            return;
        WriteAll(to, buffer.data(), static_cast<size_t>(count));
        if (betweenChunks)
            betweenChunks();
    }
}

// A text file written through QSaveFile: the old file stays until Commit.
class SaveFileWriter : public TextFileWriter {
public:
    explicit SaveFileWriter(const QString& path) : m_file(path)
    {
        errno = 0;
        if (!m_file.open(QIODevice::WriteOnly)) {
            const int error = errno;
            if (error != 0)
                throw FailureFromErrno(error);
            throw Failure(ErrorNumber::PathFileAccessError, m_file.errorString());
        }
    }

    void WriteLine(const QString& text) override
    {
        const QByteArray bytes = text.toUtf8() + "\r\n";
        if (m_file.write(bytes) != bytes.size())
            Fail();
        m_unsynced += bytes.size();
        if (m_unsynced >= kSyncEvery)
            SyncWritten();
    }

    void Commit() override
    {
        // QSaveFile::commit writes the buffered tail without telling when
        // that fails (a full disk): every byte is written and synced first.
        SyncWritten();
        if (!m_file.commit())
            Fail();
    }

private:
    // The commit syncs the whole file to disk at once; syncing as the file
    // grows keeps that last step, which cannot process events, short.
    static constexpr qint64 kSyncEvery = 4 << 20;

    void SyncWritten()
    {
        m_unsynced = 0;
        if (!m_file.flush() || ::fdatasync(m_file.handle()) != 0)
            Fail();
    }

    [[noreturn]] void Fail()
    {
        const int error = errno;
        const QString description = m_file.errorString();
        m_file.cancelWriting();
        if (error == ENOSPC || error == EDQUOT)
            throw FailureFromErrno(error);
        throw Failure(ErrorNumber::DeviceIoError, description);
    }

    QSaveFile m_file;
    qint64 m_unsynced = 0;
};
}  // namespace

void PosixFileSystem::CopyFile(const QString& source, const QString& target,
                               const std::function<void()>& betweenChunks)
{
    // Non-blocking, so that a pipe put in the file's place is refused below
    // instead of waited on; reads of a regular file are not affected.
    const Descriptor from(::open(Encoded(source).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (from.Get() < 0)
        throw FailureFromErrno(errno);
    struct stat status {};
    if (::fstat(from.Get(), &status) != 0)
        throw FailureFromErrno(errno);
    if (!S_ISREG(status.st_mode))
        throw Failure(ErrorNumber::PathFileAccessError, QStringLiteral("Not a regular file"));

    const QFileInfo targetInfo(target);
    const Descriptor folder(::open(Encoded(targetInfo.absolutePath()).constData(),
                                   O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() < 0)
        throw FailureFromErrno(errno);
    const QByteArray name = Encoded(targetInfo.fileName());
    if (::faccessat(folder.Get(), name.constData(), F_OK, AT_SYMLINK_NOFOLLOW) == 0)
        throw FailureFromErrno(EEXIST);

    TemporaryFile copy(folder.Get(), name);
    CopyContent(from.Get(), copy.Fd(), betweenChunks);
    if (::fchmod(copy.Fd(), status.st_mode & 07777) != 0)
        throw FailureFromErrno(errno);
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    if (::futimens(copy.Fd(), times) != 0)
        throw FailureFromErrno(errno);
    struct stat copied {};
    if (::fstat(copy.Fd(), &copied) != 0)
        throw FailureFromErrno(errno);
    if (copied.st_size != status.st_size)
        throw Failure(ErrorNumber::DeviceIoError, QStringLiteral("The copy is incomplete"));
    // The source may be deleted once the copy stands: make the copy durable first.
    if (::fsync(copy.Fd()) != 0)
        throw FailureFromErrno(errno);
    copy.Close();
    copy.RenameTo(name);
}

void PosixFileSystem::DeleteFile(const QString& path)
{
    if (::unlink(Encoded(path).constData()) != 0)
        throw FailureFromErrno(errno);
}

std::unique_ptr<TextFileWriter> PosixFileSystem::CreateTextFile(const QString& path)
{
    return std::make_unique<SaveFileWriter>(path);
}
