#include "actions/SafeCopyFile.h"

#include "app/core/Failure.h"
#include "app/core/PathSeparator.h"
#include "app/core/RemoveDoubleBackslashes.h"

#include <optional>

namespace {
// Enough numbered names for any folder a person keeps; past it the copy is refused.
constexpr int kLastNumber = 10000;
}  // namespace

QString GetFolderPart(const QString& path)
{
    const qsizetype last = path.lastIndexOf(kPathSeparator);
    return last < 0 ? QString() : path.left(last + 1);
}

QString NumberedName(const QString& fileName, int number)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const qsizetype split = dot > 0 ? dot : fileName.size();
    return fileName.left(split) + QStringLiteral(" (%1)").arg(number) + fileName.mid(split);
}

namespace {
QString TargetOf(const CopyOutcome& copy)
{
    return copy.folder + (copy.number == 1 ? copy.fileName : NumberedName(copy.fileName, copy.number));
}

// Tries the attempt with the copy's name, then "name (2)" and on while that
// name exists; says so when every free name is taken.
template <typename Attempt>
void TryFreeNames(CopyOutcome& copy, Attempt attempt)
{
    for (; copy.number <= kLastNumber; ++copy.number) {
        try {
            attempt(TargetOf(copy));
            return;
        } catch (const Failure& failure) {
            if (failure.Number() != ErrorNumber::FileAlreadyExists)
                throw;
        }
    }
    copy.reason = QStringLiteral("every free name is taken");
}
}  // namespace

CopyOutcome CheckMove(const QString& source, const QString& targetFolder, FileSystem& fileSystem)
{
    CopyOutcome outcome;
    if (source.trimmed().isEmpty() || targetFolder.trimmed().isEmpty()) {
        outcome.reason = QStringLiteral("no path");
        return outcome;
    }
    outcome.source = RemoveDoubleBackslashes(source);
    outcome.folder = RemoveDoubleBackslashes(targetFolder);
    const QString sourceFolder = GetFolderPart(outcome.source);
    outcome.fileName = outcome.source.mid(sourceFolder.size());
    outcome.sameFolder = sourceFolder == outcome.folder;
    if (!outcome.sameFolder && !fileSystem.IsExistingFile(outcome.source)) {
        outcome.sourceGone = true;
        outcome.reason = QStringLiteral("the file is no longer there");
        return outcome;
    }
    if (!outcome.sameFolder && !fileSystem.IsExistingFolder(outcome.folder)) {
        outcome.reason = QStringLiteral("the target folder is no longer there");
        return outcome;
    }
    try {
        // A folder is the same whatever path leads to it (a link, a bind mount, "..").
        const FileStamp from = fileSystem.FolderStampOf(sourceFolder);
        const FileStamp to = fileSystem.FolderStampOf(outcome.folder);
        outcome.sameFolder = outcome.sameFolder || from.SameFile(to);
        outcome.device = from.device;
        outcome.sameDevice = from.device == to.device;
    } catch (const Failure& failure) {
        outcome.reason = failure.Description();
    }
    if (outcome.sameFolder)
        outcome.reason = QStringLiteral("it is already in that folder");
    return outcome;
}

bool RenameIntoFolder(CopyOutcome& outcome, FileSystem& fileSystem)
{
    bool refused = false;
    try {
        TryFreeNames(outcome, [&](const QString& target) {
            const std::optional<CopyDone> done = fileSystem.RenameFile(outcome.source, target);
            refused = !done;
            if (done) {
                outcome.done = *done;
                outcome.target = target;
                outcome.renamed = true;
            }
        });
    } catch (const Failure& failure) {
        outcome.reason = failure.Description();
    }
    return !refused;
}

void SafeCopyFile(CopyOutcome& outcome, FileSystem& fileSystem, const std::function<void()>& betweenChunks)
{
    try {
        TryFreeNames(outcome, [&](const QString& target) {
            outcome.made = fileSystem.PrepareCopy(outcome.source, target, betweenChunks);
        });
    } catch (const Failure& failure) {
        outcome.reason = failure.Description();
    }
}

void NameCopy(CopyOutcome& copy)
{
    try {
        TryFreeNames(copy, [&](const QString& target) {
            copy.done = copy.made->Name(target);
            copy.target = target;
        });
    } catch (const Failure& failure) {
        copy.reason = failure.Description();
    }
}

namespace {
// The copy still stands at its name as the very file that was made; a copy
// removed or replaced meanwhile (its folder deleted, another file put there)
// does not.
bool CopyStands(const CopyDone& copy, FileSystem& fileSystem)
{
    try {
        return fileSystem.StampOf(copy.copiedTo).SameFile(copy.copy);
    } catch (const Failure& failure) {
        // A look that fails tells nothing, and the source stays; the copy
        // counts as gone only when a second look agrees.
        if (failure.Number() != ErrorNumber::PathNotFound)
            throw;
        try {
            fileSystem.StampOf(copy.copiedTo);
        } catch (const Failure& again) {
            if (again.Number() == ErrorNumber::PathNotFound)
                return false;
        }
        throw;
    }
}

}  // namespace

SourceDeletion DeleteFileRobust(const QString& path, const CopyDone& copy, FileSystem& fileSystem, QString& reason)
{
    // A file counts as gone only when a second look agrees; a look that
    // fails leaves it where it may still be.
    const auto failed = [&](const Failure& failure) {
        bool stillThere = true;
        try {
            stillThere = failure.Number() != ErrorNumber::PathNotFound || fileSystem.IsExistingFile(path);
        } catch (const Failure&) {
        }
        reason = failure.Description();
        return stillThere ? SourceDeletion::Failed : SourceDeletion::Gone;
    };
    try {
        if (fileSystem.StampOf(path) != copy.source || !fileSystem.SameContentAsCopy(path, copy))
            return SourceDeletion::Changed;
        if (!CopyStands(copy, fileSystem))
            return SourceDeletion::CopyGone;
        fileSystem.DeleteFile(path);
        return SourceDeletion::Deleted;
    } catch (const Failure& failure) {
        return failed(failure);
    }
}
