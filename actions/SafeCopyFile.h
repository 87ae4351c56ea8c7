#pragma once

#include "app/core/FileSystem.h"

#include <QString>

#include <functional>
#include <memory>

// The path up to and including its last separator; empty when it has none.
QString GetFolderPart(const QString& path);

// "name (n).ext" for "name.ext"; a leading dot does not start an extension.
QString NumberedName(const QString& fileName, int number);

// One file going into the target folder: renamed there, or copied and the
// copy made and waiting for its name, or named (the target it got and what
// the copy found), or why neither was done.
struct CopyOutcome {
    std::unique_ptr<PreparedCopy> made;
    QString target;
    CopyDone done;
    QString reason;
    bool sameFolder = false;
    bool sourceGone = false;
    bool renamed = false;
    bool Made() const { return made != nullptr; }
    bool Copied() const { return !target.isEmpty(); }
    bool Failed() const { return !reason.isEmpty(); }

    // Where it comes from and goes: the source, the folder, the source's file
    // name, the number of the name tried; the file system of the source's
    // folder, and whether the target folder lies on it too.
    QString source;
    QString folder;
    QString fileName;
    int number = 1;
    quint64 device = 0;
    bool sameDevice = false;
};

// Checks that source can go into targetFolder (which ends in a separator):
// sets the reason when the source is no regular file, the folder is gone or
// is the source's own folder (by its identity, whatever path leads to it).
CopyOutcome CheckMove(const QString& source, const QString& targetFolder, FileSystem& fileSystem);

// Renames the checked source into the folder under the first free name (as
// NameCopy names), or sets the reason. False when the file system refused
// the rename (another one, or no exclusive renames): nothing happened, copy.
bool RenameIntoFolder(CopyOutcome& outcome, FileSystem& fileSystem);

// Copies the checked source into the folder, not yet named; sets the reason
// when every free name is taken or the copy failed. betweenChunks runs
// between chunks of the copy.
void SafeCopyFile(CopyOutcome& outcome, FileSystem& fileSystem, const std::function<void()>& betweenChunks);

// Gives a made copy the source's file name, or the first free "name (2).ext",
// "name (3).ext", ... when that is taken; an existing file is never replaced.
// Sets the target, or the reason when the copy could not be named.
void NameCopy(CopyOutcome& copy);

// What became of a source after its copy was made.
enum class SourceDeletion { Deleted, Changed, CopyGone, Gone, Failed };

// Deletes the file only while it is still the very file the copy read,
// unchanged (same stamp and, where stamps cannot show every change, the same
// bytes as the copy), and the copy still stands at its name as the very file
// made (same identity); otherwise the file stays. Both are compared right
// before the deletion, with nothing run between.
SourceDeletion DeleteFileRobust(const QString& path, const CopyDone& copy, FileSystem& fileSystem, QString& reason);
