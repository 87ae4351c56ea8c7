#include "actions/undo/UndoLastMove.h"

#include "actions/SafeCopyFile.h"
#include "actions/undo/TakeBack.h"
#include "actions/undo/UndoRecords.h"
#include "app/core/BackgroundFileWork.h"
#include "app/core/EventPump.h"
#include "app/core/Failure.h"
#include "app/core/FileSystem.h"
#include "app/core/ProductTexts.h"
#include "app/core/Seams.h"

#include <memory>
#include <optional>
#include <utility>

namespace {
constexpr qint64 kNsPerSecond = 1'000'000'000;

// The file in the target is still as the move left it: the size and the
// modification time (to the second) it had there. Nothing when there is no
// file at all.
std::optional<bool> Unchanged(const MovedFile& file, FileSystem& fileSystem)
{
    try {
        const FileStamp now = fileSystem.StampOf(file.moved);
        return now.size == file.copied.size
            && now.modifiedNs / kNsPerSecond == file.copied.modifiedNs / kNsPerSecond;
    } catch (const Failure&) {
        return std::nullopt;
    }
}

// Moves one file back, on the work's thread; the empty string when it came
// back, else why not. retry tells whether another try may still bring it back.
QString MoveBack(const MovedFile& file, FileSystem& fileSystem, BackgroundFileWork& work, bool& retry)
{
    retry = false;
    const std::optional<bool> unchanged = Unchanged(file, fileSystem);
    if (!unchanged)
        return QStringLiteral("it is no longer at %1").arg(file.moved);
    if (!*unchanged)
        return QStringLiteral("it changed since the move; it stays at %1").arg(file.moved);
    CopyDone done;
    try {
        // Inside one file system the file is renamed back, whole.
        work.BeforeCommit();
        if (fileSystem.RenameFile(file.moved, file.original))
            return {};
        done = fileSystem.CopyFileStamped(file.moved, file.original, [&] { work.ChunkDone(); },
                                          [&] { work.BeforeCommit(); });
    } catch (const Failure& failure) {
        retry = true;
        if (failure.Number() == ErrorNumber::FileAlreadyExists)
            return QStringLiteral("a file now stands at its original path and was not replaced; it stays at %1")
                .arg(file.moved);
        return QStringLiteral("%1; it stays at %2").arg(failure.Description(), file.moved);
    }
    QString reason;
    switch (DeleteFileRobust(file.moved, done, fileSystem, reason)) {
    case SourceDeletion::Deleted:
    case SourceDeletion::Gone:
        return {};
    case SourceDeletion::Changed:
        return QStringLiteral("it changed while it was moved back: the changed file stays at %1, and the copy made "
                              "before the change is at its original path")
            .arg(file.moved);
    case SourceDeletion::CopyGone:
        return QStringLiteral("its copy at its original path was removed or replaced meanwhile; it stays at %1")
            .arg(file.moved);
    case SourceDeletion::Failed:
        break;
    }
    return QStringLiteral("it is back, but %1 could not be deleted (%2), so it is now in both places")
        .arg(file.moved, reason);
}

// The move back of one file on a work thread; nothing when the program started closing.
std::optional<QString> MoveBackInBackground(const MovedFile& file, FileSystem& fileSystem, EventPump& pump,
                                            bool& retry)
{
    const auto reason = std::make_shared<QString>();
    const auto again = std::make_shared<bool>(false);
    const bool ended = BackgroundFileWork::Run(
        [reason, again, file, &fileSystem](BackgroundFileWork& work) {
            *reason = MoveBack(file, fileSystem, work, *again);
        },
        pump);
    if (!ended)
        return std::nullopt;
    retry = *again;
    return *reason;
}
}  // namespace

QString MoveFilesBack(MoveRecord& record, FileSystem& fileSystem, EventPump& pump)
{
    TakeBackSummary summary;
    std::vector<MovedFile> left;
    for (size_t i = 0; i < record.files.size(); ++i) {
        const MovedFile& file = record.files[i];
        bool retry = false;
        std::optional<QString> outcome;
        if (pump.Point())
            outcome = MoveBackInBackground(file, fileSystem, pump, retry);
        if (!outcome) {
            left.insert(left.end(), record.files.begin() + static_cast<std::ptrdiff_t>(i), record.files.end());
            break;
        }
        const QString& reason = *outcome;
        if (reason.isEmpty())
            summary.CameBack(file.original);
        else
            summary.Stayed(file.original, reason);
        if (retry)
            left.push_back(file);
    }
    record.files = std::move(left);
    return summary.Text(QStringLiteral("from the target folder"));
}

void UndoLastMove(MoveRecord& lastMove, Seams& seams, CommandWindow& window)
{
    TakeBackLast<MoveRecord>(seams, window, lastMove, LocationTag::kUndoLastMove, [&](MoveRecord& record) {
        return MoveFilesBack(record, seams.fileSystem, seams.pump);
    });
}
