#include "app/platform/PosixFileSystem.h"

#include "app/core/Failure.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

// Changing side: delete and text files (the copy is in PosixFileCopy.cpp,
// the trash in DesktopTrash.cpp). Nothing here ever leaves a partial file
// under a name the user sees.

namespace {
QByteArray Encoded(const QString& path)
{
    return QFile::encodeName(path);
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

void PosixFileSystem::DeleteFile(const QString& path)
{
    if (::unlink(Encoded(path).constData()) != 0)
        throw FailureFromErrno(errno);
}

std::unique_ptr<TextFileWriter> PosixFileSystem::CreateTextFile(const QString& path)
{
    return std::make_unique<SaveFileWriter>(path);
}
