#pragma once

#include <QString>

#include <functional>

class EventPump;
class FileSystem;

// The path up to and including its last separator; empty when it has none.
QString GetFolderPart(const QString& path);

// "name (n).ext" for "name.ext"; a leading dot does not start an extension.
QString NumberedName(const QString& fileName, int number);

// What became of one copy: the path the copy stands at, or why none was made.
struct CopyOutcome {
    QString copiedTo;
    QString reason;
    bool Copied() const { return !copiedTo.isEmpty(); }
};

// Copies source into targetFolder (which ends in a separator) under the
// source's file name, or the first free "name (2).ext", "name (3).ext", ...
// when that is taken; an existing file is never replaced. Nothing is copied
// when the source is no regular file, the folder is gone or is the source's own.
CopyOutcome SafeCopyFile(const QString& source, const QString& targetFolder, FileSystem& fileSystem,
                         const std::function<void()>& betweenChunks);

// Deletes one file after letting the window breathe; returns why it could
// not, or the empty string when it is gone.
QString DeleteFileRobust(const QString& path, FileSystem& fileSystem, EventPump& pump);
