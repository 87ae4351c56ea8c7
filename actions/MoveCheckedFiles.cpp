#include "actions/MoveCheckedFiles.h"

#include "actions/FileFailures.h"
#include "actions/SafeCopyFile.h"
#include "actions/undo/MoveRecorder.h"
#include "app/core/BackgroundFileWork.h"
#include "app/core/ErrorTrap.h"
#include "app/core/EventPump.h"
#include "app/core/FileSystem.h"
#include "app/core/RemoveDoubleBackslashes.h"
#include "app/core/RowList.h"
#include "app/core/RowSnapshot.h"

#include <QElapsedTimer>
#include <QSet>

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

namespace {
// The files of a group are copied, made durable together, then named and
// their sources deleted one by one. The bounds keep what a stop discards and
// the room the copies take beside their sources small.
constexpr size_t kGroupFiles = 128;
constexpr qint64 kGroupBytes = 64 << 20;
constexpr qint64 kGroupMs = 250;

// What becomes of a row once its file was handled, and what the user is told.
// A row that lists a file met before in this move follows that file's row.
struct MoveOutcome {
    enum class Row { Remove, KeepChecked, Uncheck };
    MoveOutcome(Row row = Row::KeepChecked, QString note = {}, QString sameFileAs = {})
        : row(row), note(std::move(note)), sameFileAs(std::move(sameFileAs))
    {
    }
    Row row;
    QString note;
    QString sameFileAs;
};

// What the move learnt as it went, used by its work thread alone: the files
// it met, each by its folder's identity and its name (a file is the same
// whatever folder path leads to it: a link, a bind mount), with the row text
// that listed it first; and the file systems that refused a rename into the
// target folder, whose files are copied without asking again.
struct FilesMet {
    std::map<std::tuple<quint64, quint64, QString>, QString> files;
    std::set<quint64> renameRefused;
};

// The row text that listed the file before in this move, or nothing when this
// is its first listing. Throws Failure when its folder cannot be told: the file
// then stays, since it might be one already moved.
QString MetBefore(const QString& rowText, FilesMet& met, FileSystem& fileSystem)
{
    const QString path = RemoveDoubleBackslashes(rowText);
    const QString folder = GetFolderPart(path);
    const FileStamp folderStamp = fileSystem.FolderStampOf(folder);
    const auto [first, added] =
        met.files.try_emplace({folderStamp.device, folderStamp.inode, path.mid(folder.size())}, rowText);
    return added ? QString() : first->second;
}

// One file of a group; its outcome is set once it was handled.
struct FileInGroup {
    QString rowText;
    int row = 0;
    CopyOutcome copy;
    std::optional<MoveOutcome> outcome;
};

MoveOutcome NotCopied(const CopyOutcome& copy)
{
    if (copy.sameFolder || copy.sourceGone)
        return {MoveOutcome::Row::KeepChecked, copy.reason};
    return {MoveOutcome::Row::KeepChecked, copy.reason + QStringLiteral("; it stays in its folder")};
}

// A file renamed into the target folder: moved whole, nothing left to delete.
MoveOutcome Renamed(const QString& rowText, const CopyOutcome& copy)
{
    MoveRecorder::Note(RemoveDoubleBackslashes(rowText), copy.target, copy.done.copy);
    return {MoveOutcome::Row::Remove, {}};
}

// Deletes the source of a named, durable copy while it is still the file the copy read.
MoveOutcome FinishMove(const QString& rowText, const CopyOutcome& copy, FileSystem& fileSystem)
{
    using Row = MoveOutcome::Row;
    const QString copiedTo = copy.done.copiedTo;
    if (copiedTo != copy.target)
        return {Row::Uncheck,
                QStringLiteral("copied to %1, as the target folder was renamed meanwhile; it also stays in its folder")
                    .arg(copiedTo)};
    QString reason;
    switch (DeleteFileRobust(RemoveDoubleBackslashes(rowText), copy.done, fileSystem, reason)) {
    case SourceDeletion::Deleted:
        MoveRecorder::Note(RemoveDoubleBackslashes(rowText), copiedTo, copy.done.copy);
        return {Row::Remove, {}};
    case SourceDeletion::Gone:
        return {Row::Remove,
                QStringLiteral("copied to %1, but meanwhile the file was taken from its folder").arg(copiedTo)};
    case SourceDeletion::Changed:
        return {Row::KeepChecked, QStringLiteral("it changed while it was moved: the changed file stays in its "
                                                 "folder, and the copy made before the change is at %1")
                                      .arg(copiedTo)};
    case SourceDeletion::CopyGone:
        return {Row::KeepChecked,
                QStringLiteral("its copy at %1 was removed or replaced meanwhile, so it stays in its folder")
                    .arg(copiedTo)};
    case SourceDeletion::Failed:
        break;
    }
    return {Row::Uncheck,
            QStringLiteral("copied to %1, but it could not be deleted from its folder (%2), so it is now in both places")
                .arg(copiedTo, reason)};
}

// Moves a group on the work's thread. Files the file system can rename into
// the target folder are renamed at once; the others are copied until a bound
// is reached (the files after it stay unhandled), made durable, and only then
// named, so a stop before the commit leaves no copy and every source whole.
void MoveGroup(std::vector<FileInGroup>& files, const QString& targetFolder, FileSystem& fileSystem, FilesMet& met,
               BackgroundFileWork& work)
{
    QElapsedTimer elapsed;
    elapsed.start();
    qint64 bytes = 0;
    std::vector<FileInGroup*> made;
    for (FileInGroup& file : files) {
        if (&file != &files.front() && (bytes >= kGroupBytes || elapsed.elapsed() >= kGroupMs))
            break;
        QString first;
        try {
            first = MetBefore(file.rowText, met, fileSystem);
        } catch (const Failure& failure) {
            file.outcome = MoveOutcome{MoveOutcome::Row::KeepChecked,
                                       failure.Description() + QStringLiteral("; it stays in its folder")};
            continue;
        }
        if (!first.isEmpty()) {
            file.outcome = MoveOutcome{MoveOutcome::Row::KeepChecked, {}, std::move(first)};
            continue;
        }
        file.copy = CheckMove(file.rowText, targetFolder, fileSystem);
        if (!file.copy.Failed() && file.copy.sameDevice && !met.renameRefused.contains(file.copy.device)) {
            // Names are given in row order: a rename waits for the copies in hand.
            if (!made.empty())
                break;
            work.BeforeCommit();
            if (RenameIntoFolder(file.copy, fileSystem)) {
                file.outcome = file.copy.renamed ? Renamed(file.rowText, file.copy) : NotCopied(file.copy);
                continue;
            }
            met.renameRefused.insert(file.copy.device);
        }
        if (!file.copy.Failed())
            SafeCopyFile(file.copy, fileSystem, [&] { work.ChunkDone(); });
        if (!file.copy.Made()) {
            file.outcome = NotCopied(file.copy);
            continue;
        }
        bytes += file.copy.made->Source().size;
        made.push_back(&file);
    }
    if (made.empty())
        return;
    const auto fails = [](FileInGroup& file, const QString& note) {
        file.outcome = MoveOutcome{MoveOutcome::Row::KeepChecked, note};
        file.copy.made.reset();
    };
    for (FileInGroup* file : made) {
        try {
            file->copy.made->Sync();
        } catch (const Failure& failure) {
            fails(*file, failure.Description() + QStringLiteral("; it stays in its folder"));
        }
    }
    work.BeforeCommit();
    for (FileInGroup* file : made) {
        if (!file->copy.Made())
            continue;
        NameCopy(file->copy);
        if (!file->copy.Copied())
            fails(*file, file->copy.reason + QStringLiteral("; it stays in its folder"));
    }
    // The names are durable before any source goes.
    for (FileInGroup* file : made) {
        if (!file->copy.Copied())
            continue;
        try {
            file->copy.made->SyncName();
        } catch (const Failure& failure) {
            file->outcome = MoveOutcome{MoveOutcome::Row::Uncheck,
                                        QStringLiteral("copied to %1, but the copy could not be made durable (%2); it "
                                                       "also stays in its folder")
                                            .arg(file->copy.done.copiedTo, failure.Description())};
        }
    }
    for (FileInGroup* file : made) {
        if (!file->outcome && file->copy.Copied())
            file->outcome = FinishMove(file->rowText, file->copy, fileSystem);
    }
}

// Runs a group on a work thread; false when the program started closing
// first, true when it ran, and nothing when it failed.
std::optional<bool> MoveInBackground(const std::shared_ptr<std::vector<FileInGroup>>& files,
                                     const QString& targetFolder, FileSystem& fileSystem,
                                     const std::shared_ptr<FilesMet>& met, EventPump& pump, ErrorTrap& trap)
{
    std::optional<bool> ended;
    trap.Run(126, [&] {
        ended = BackgroundFileWork::Run(
            [files, targetFolder, &fileSystem, met](BackgroundFileWork& work) {
                MoveGroup(*files, targetFolder, fileSystem, *met, work);
            },
            pump);
    });
    return ended;
}

// The row texts the moves running now have taken on. A move started while
// another runs leaves that one's files to it, and the other way round, so
// neither reports a file the other moved as gone. Window thread only.
class TakenRows {
public:
    TakenRows() { ++s_moves; }
    ~TakenRows()
    {
        if (--s_moves == 0)
            s_texts = {};
    }
    TakenRows(const TakenRows&) = delete;
    TakenRows& operator=(const TakenRows&) = delete;

    // Takes the row text on for this move; false when a running move already has it.
    bool Take(const QString& text)
    {
        if (s_texts.contains(text))
            return false;
        s_texts.insert(text);
        return true;
    }

private:
    static inline int s_moves = 0;
    static inline QSet<QString> s_texts;
};

// The text of row i for the error box, or nothing when it cannot be read.
QString TextForErrors(const RowSnapshot& rows, int i)
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
    TakenRows taken;
    const auto met = std::make_shared<FilesMet>();
    QSet<QString> removed;
    QSet<QString> unchecked;
    std::deque<std::pair<QString, int>> leftOver;
    // The rows checked when the move began, in their order then: a sort
    // meanwhile passes over none.
    const RowSnapshot snapshot(rows);
    const int rowCount = snapshot.Count();
    int i = 1;
    while ((i <= rowCount || !leftOver.empty()) && pump.Point()) {
        // The list was emptied of the rows in hand (a Clear, a new search): the move ends.
        if (snapshot.ListCleared())
            break;
        // The files the last group left over, then the next checked rows.
        const auto group = std::make_shared<std::vector<FileInGroup>>();
        for (const auto& [text, row] : leftOver)
            group->push_back({text, row, {}, {}});
        leftOver.clear();
        for (; i <= rowCount && group->size() < kGroupFiles; ++i) {
            trap.SetFileText(TextForErrors(snapshot, i));
            if (!trap.Test(122, [&] { return snapshot.Checked(i); }, false))
                continue;
            const QString text = trap.Value(124, [&] { return snapshot.Text(i); }, QString());
            // A file listed in two rows of the same text is handled once.
            if (text.isEmpty() || !taken.Take(text))
                continue;
            group->push_back({text, i, {}, {}});
        }
        if (group->empty())
            continue;
        trap.SetFileText(group->front().rowText);
        const std::optional<bool> ran = MoveInBackground(group, targetFolder, fileSystem, met, pump, trap);
        if (ran && !*ran)
            break;
        for (FileInGroup& file : *group) {
            if (!file.outcome) {
                if (ran)
                    leftOver.emplace_back(file.rowText, file.row);
                continue;
            }
            const MoveOutcome& outcome = *file.outcome;
            if (!outcome.sameFileAs.isEmpty()) {
                if (removed.contains(outcome.sameFileAs))
                    removed.insert(file.rowText);
                else if (unchecked.contains(outcome.sameFileAs))
                    unchecked.insert(file.rowText);
                continue;
            }
            if (outcome.row == MoveOutcome::Row::Uncheck)
                failures.Add(file.rowText, outcome.note + QStringLiteral("; its row is unchecked"));
            else if (!outcome.note.isEmpty())
                failures.Add(file.rowText, outcome.note);
            if (outcome.row == MoveOutcome::Row::Remove)
                removed.insert(file.rowText);
            else if (outcome.row == MoveOutcome::Row::Uncheck)
                unchecked.insert(file.rowText);
        }
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
