#pragma once

#include "app/core/FileSystem.h"

#include <QString>

#include <functional>
#include <memory>

// The path up to and including its last separator; empty when it has none.
QString GetFolderPart(const QString& path);

// "name (n).ext" for "name.ext"; a leading dot does not start an extension.
QString NumberedName(const QString& fileName, int number);

// One copy into the target folder: made and waiting for its name, named (the
// target it got and what the copy found), or why none was made.
struct CopyOutcome {
    std::unique_ptr<PreparedCopy> made;
    QString target;
    CopyDone done;
    QString reason;
    bool sameFolder = false;
    bool sourceGone = false;
    bool Made() const { return made != nullptr; }
    bool Copied() const { return !target.isEmpty(); }

    // Where it goes: the folder, the source's file name, the number of the name tried.
    QString folder;
    QString fileName;
    int number = 1;
};

// Copies source into targetFolder (which ends in a separator), not yet named.
// Nothing is copied when the source is no regular file, the folder is gone or
// is the source's own folder (by its identity, whatever path leads to it), or
// every free name is taken. betweenChunks runs between chunks of the copy.
CopyOutcome SafeCopyFile(const QString& source, const QString& targetFolder, FileSystem& fileSystem,
                         const std::function<void()>& betweenChunks);

// Gives a made copy the source's file name, or the first free "name (2).ext",
// "name (3).ext", ... when that is taken; an existing file is never replaced.
// Sets the target, or the reason when the copy could not be named.
void NameCopy(CopyOutcome& copy);

// What became of a source after its copy was made.
enum class SourceDeletion { Deleted, Changed, CopyGone, Gone, Failed };

// Deletes the file only while it is still the very file the copy read,
// unchanged (same stamp), and the copy still stands at its name as the very
// file made (same identity); otherwise the file stays. Both are compared
// right before the deletion, with nothing run between.
SourceDeletion DeleteFileRobust(const QString& path, const CopyDone& copy, FileSystem& fileSystem, QString& reason);
