#pragma once

#include <QDateTime>
#include <QString>
#include <QTemporaryDir>

// A temporary folder in which a test builds a small tree of real files.
class TestDir {
public:
    TestDir();

    // Absolute path of a relative path inside the folder (no trailing "/").
    QString Path(const QString& relative = {}) const;
    // Creates a file (and its folders) with the data; when time is valid, the
    // modification and access times are set to it.
    QString CreateFile(const QString& relative, const QByteArray& data = {}, const QDateTime& time = {});
    QString CreateFolder(const QString& relative);
    // Sets a file's modification and access times (seconds since 1970 UTC).
    static void SetTimes(const QString& path, qint64 modified, qint64 accessed);

private:
    QTemporaryDir m_dir;
};
