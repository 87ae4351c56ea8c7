#include "actions/MoveCheckedFiles.h"

#include "actions/FileFailures.h"
#include "actions/undo/MoveRecorder.h"
#include "actions/SafeCopyFile.h"
#include "app/BackgroundFileWork.h"
#include "app/ErrorTrap.h"
#include "app/EventPump.h"
#include "app/FileSystem.h"
#include "app/RowList.h"
#include "folders/RemoveDoubleBackslashes.h"

#include <QSet>

#include <optional>
#include <vector>

namespace {
// What becomes of a row once its file was handled, and what the user is told.
struct MoveOutcome {
    enum class Row { Remove, KeepChecked, Uncheck };
    Row row = Row::KeepChecked;
    QString note;
};

// Moves one file; runs on the work's thread.
MoveOutcome MoveOneFile(const QString& rowText, const QString& targetFolder, FileSystem& fileSystem,
                        BackgroundFileWork& work)
{
    using Row = MoveOutcome::Row;
    const CopyOutcome copy = SafeCopyFile(
        rowText, targetFolder, fileSystem, [&] { work.ChunkDone(); }, [&] { work.BeforeCommit(); });
    if (!copy.Copied()) {
        if (copy.sameFolder || copy.sourceGone)
            return {Row::KeepChecked, copy.reason};
        return {Row::KeepChecked, copy.reason + QStringLiteral("; it stays in its folder")};
    }
    const QString copiedTo = copy.done.copiedTo;
    if (copiedTo != copy.target)
        return {Row::Uncheck,
                QStringLiteral("copied to %1, as the target folder was renamed meanwhile; it also stays in its folder")
                    .arg(copiedTo)};
    QString reason;
    switch (DeleteFileRobust(RemoveDoubleBackslashes(rowText), copy.done.source, fileSystem, reason)) {
    case SourceDeletion::Deleted:
        MoveRecorder::Note(RemoveDoubleBackslashes(rowText), copiedTo, copy.done.source);
        return {Row::Remove, {}};
    case SourceDeletion::Gone:
        return {Row::Remove,
                QStringLiteral("copied to %1, but meanwhile the file was taken from its folder").arg(copiedTo)};
    case SourceDeletion::Changed:
        return {Row::KeepChecked, QStringLiteral("it changed while it was moved: the changed file stays in its "
                                                 "folder, and the copy made before the change is at %1")
                                      .arg(copiedTo)};
    case SourceDeletion::Failed:
        break;
    }
    return {Row::Uncheck,
            QStringLiteral("copied to %1, but it could not be deleted from its folder (%2), so it is now in both places")
                .arg(copiedTo, reason)};
}

// The move of one file on a work thread; nothing when the program started closing.
std::optional<MoveOutcome> MoveInBackground(const QString& rowText, const QString& targetFolder,
                                            FileSystem& fileSystem, EventPump& pump)
{
    const auto outcome = std::make_shared<MoveOutcome>();
    const bool ended = BackgroundFileWork::Run(
        [outcome, rowText, targetFolder, &fileSystem](BackgroundFileWork& work) {
            *outcome = MoveOneFile(rowText, targetFolder, fileSystem, work);
        },
        pump);
    if (!ended)
        return std::nullopt;
    return *outcome;
}

// The text of row i for the error box, or nothing when it cannot be read.
QString TextForErrors(RowList& rows, int i)
{
    try {
        return rows.Text(i);
    } catch (const Failure&) {
        return {};
    }
}
}  // namespace

void MoveCheckedFiles(RowList& rows, const QString& targetFolder, FileSystem& fileSystem, EventPump& pump,
                      ErrorTrap& trap, FileFailures& failures)
{
    QSet<QString> handled;
    QSet<QString> removed;
    QSet<QString> unchecked;
    const int rowCount = rows.Count();
    for (int i = 1; i <= rowCount; ++i) {
        if (!pump.Point() || i > rows.Count())
            break;
        trap.SetFileText(TextForErrors(rows, i));
        if (!trap.Test(122, [&] { return rows.Checked(i); }, false))
            continue;
        const QString text = trap.Value(124, [&] { return rows.Text(i); }, QString());
        // A row met again after the list was reordered is not handled twice.
        if (text.isEmpty() || handled.contains(text))
            continue;
        handled.insert(text);
        trap.SetFileText(text);
        trap.Run(126, [&] {
            const std::optional<MoveOutcome> outcome = MoveInBackground(text, targetFolder, fileSystem, pump);
            if (!outcome)
                return;
            if (outcome->row == MoveOutcome::Row::Uncheck)
                failures.Add(text, outcome->note + QStringLiteral("; its row is unchecked"));
            else if (!outcome->note.isEmpty())
                failures.Add(text, outcome->note);
            if (outcome->row == MoveOutcome::Row::Remove)
                removed.insert(text);
            else if (outcome->row == MoveOutcome::Row::Uncheck)
                unchecked.insert(text);
        });
    }
    // The second pass: a failure names the row in hand.
    QString inHand;
    const auto naming = [&trap, &inHand](auto step) {
        return [&trap, &inHand, step] {
            try {
                step();
            } catch (...) {
                trap.SetFileText(inHand);
                throw;
            }
        };
    };
    if (!unchecked.isEmpty()) {
        trap.Run(132, naming([&] {
            std::vector<int> toUncheck;
            for (int r = 1; r <= rows.Count(); ++r) {
                inHand = rows.Text(r);
                if (rows.Checked(r) && unchecked.contains(inHand))
                    toUncheck.push_back(r);
            }
            rows.SetCheckedRows(toUncheck, false);
        }));
    }
    if (!removed.isEmpty()) {
        trap.Run(134, naming([&] {
            rows.RemoveWhere([&](const RowList::Row& row) {
                inHand = row.text;
                return row.checked && removed.contains(row.text);
            });
        }));
    }
    trap.ClearFileText();
}
