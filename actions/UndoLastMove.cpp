#include "actions/UndoLastMove.h"

#include "actions/SafeCopyFile.h"
#include "actions/TakeBack.h"
#include "actions/UndoRecords.h"
#include "app/EventPump.h"
#include "app/Failure.h"
#include "app/FileSystem.h"
#include "app/Form1.h"

#include <utility>

namespace {
constexpr char kLocationTag[] = "in Brellin2021/08/31.Form1.UndoLastMove ";

// The file in the target is still as the move left it.
bool Unchanged(const MovedFile& file, FileSystem& fileSystem)
{
    try {
        const qint64 modified = fileSystem.GetFileTimes(file.moved).modified;
        return fileSystem.IsExistingFile(file.moved) && modified != kNoTime && modified < file.movedAt;
    } catch (const Failure&) {
        return false;
    }
}

bool Exists(const QString& path, FileSystem& fileSystem)
{
    try {
        return fileSystem.IsExistingFile(path);
    } catch (const Failure&) {
        return false;
    }
}

// Moves one file back; the empty string when it came back, else why not.
// retry tells whether another try may still bring it back.
QString MoveBack(const MovedFile& file, FileSystem& fileSystem, EventPump& pump, bool& retry)
{
    retry = false;
    if (!Unchanged(file, fileSystem)) {
        return Exists(file.moved, fileSystem) ? QStringLiteral("it changed since the move; it stays at %1").arg(file.moved)
                                              : QStringLiteral("it is no longer at %1").arg(file.moved);
    }
    try {
        fileSystem.CopyFile(file.moved, file.original, [&] { pump.Point(); });
    } catch (const Failure& failure) {
        retry = true;
        if (failure.Number() == ErrorNumber::FileAlreadyExists)
            return QStringLiteral("a file now stands at its original path and was not replaced; it stays at %1")
                .arg(file.moved);
        return QStringLiteral("%1; it stays at %2").arg(failure.Description(), file.moved);
    }
    // Changed while it was copied: the copy just made may hold a mix, and goes.
    if (!Unchanged(file, fileSystem)) {
        DeleteFileRobust(file.original, fileSystem, pump);
        return QStringLiteral("it changed while it was copied back; it stays at %1").arg(file.moved);
    }
    const QString notDeleted = DeleteFileRobust(file.moved, fileSystem, pump);
    if (!notDeleted.isEmpty())
        return QStringLiteral("it is back, but %1 could not be deleted: %2").arg(file.moved, notDeleted);
    return {};
}
}  // namespace

QString MoveFilesBack(MoveRecord& record, FileSystem& fileSystem, EventPump& pump)
{
    TakeBackSummary summary;
    std::vector<MovedFile> left;
    for (size_t i = 0; i < record.files.size(); ++i) {
        const MovedFile& file = record.files[i];
        if (!pump.Point()) {
            left.insert(left.end(), record.files.begin() + static_cast<std::ptrdiff_t>(i), record.files.end());
            break;
        }
        bool retry = false;
        const QString reason = MoveBack(file, fileSystem, pump, retry);
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

void UndoLastMove(Form1& form)
{
    // Taken out of the store while it runs: a move run meanwhile records its
    // own files, which then are the last moved.
    MoveRecord record = std::exchange(form.Undo().lastMove, {});
    if (record.files.empty())
        return;
    RunTakeBack(form, kLocationTag, [&] {
        return MoveFilesBack(record, form.Services().fileSystem, form.Services().pump);
    });
    if (form.Undo().lastMove.files.empty())
        form.Undo().lastMove = std::move(record);
}
