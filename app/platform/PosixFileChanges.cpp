#include "app/platform/PosixFileSystem.h"

#include "app/Failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

// Changing side: delete, text files and the trash (the copy is in
// PosixFileCopy.cpp). Nothing here ever leaves a partial file under a name
// the user sees.

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

void PosixFileSystem::MoveToTrash(const QString& path)
{
    // Qt 6.4 makes the trash in the working folder when the data folder is missing.
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataFolder.isEmpty() || !QDir().mkpath(dataFolder))
        throw Failure(ErrorNumber::PathFileAccessError, QStringLiteral("The trash cannot be reached"));
    // Qt retries without end when the trash's record of the file
    // ("<name>.trashinfo", with a number added on a name clash) would be longer
    // than a folder takes: such a file stays where it is.
    constexpr qsizetype kLongestTrashableName = NAME_MAX - 10 - 11;
    if (Encoded(QFileInfo(path).fileName()).size() > kLongestTrashableName)
        throw Failure(ErrorNumber::PathFileAccessError, QStringLiteral("The name is too long for the trash"));
    // Qt writes the path into the line-based record as it is: a line break
    // would split the record, and the trash could no longer restore the file.
    if (path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r')))
        throw Failure(ErrorNumber::PathFileAccessError, QStringLiteral("The trash cannot record a name with a line break"));
    QString pathInTrash;
    errno = 0;
    if (!QFile::moveToTrash(path, &pathInTrash)) {
        const int error = errno;
        if (error != 0)
            throw FailureFromErrno(error);
        throw Failure(ErrorNumber::PathFileAccessError, QStringLiteral("The file could not be moved to the trash"));
    }
    if (QFileInfo(pathInTrash).isAbsolute())
        return;
    // The file went to a folder that is no trash: put it back.
    QFile::rename(pathInTrash, path);
    throw Failure(ErrorNumber::PathFileAccessError, QStringLiteral("The trash cannot be reached"));
}
