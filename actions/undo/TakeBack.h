#pragma once

#include "actions/FileFailures.h"

#include <QString>

#include <functional>
#include <utility>

class CommandWindow;
struct Seams;

// What a take-back (Undo Last Move, Restore Last Trashed) did, told in one
// box: the files that came back, then those that did not and why.
class TakeBackSummary {
public:
    void CameBack(const QString& path) { m_back.Add(path); }
    void Stayed(const QString& path, const QString& reason) { m_stayed.Add(path, reason); }
    // cameBackHow finishes "3 files came back ...", for example "from the trash".
    QString Text(const QString& cameBackHow) const;

private:
    FileFailures m_back;
    FileFailures m_stayed;
};

// Runs a take-back command under the hourglass, its failures reported under
// the location tag, and shows the summary it returns (if any) in one box.
void RunTakeBack(Seams& seams, CommandWindow& window, const char* locationTag,
                 const std::function<QString()>& takeBack);

// Runs the take-back of the record kept in slot. The record is taken out of
// the slot while it runs, so that a command run meanwhile records its own
// files, which then are the last; what the take-back leaves in the record
// goes back for another try unless such a newer record took its place.
template <typename Record>
void TakeBackLast(Seams& seams, CommandWindow& window, Record& slot, const char* locationTag,
                  const std::function<QString(Record&)>& takeBack)
{
    Record record = std::exchange(slot, {});
    if (record.Empty())
        return;
    RunTakeBack(seams, window, locationTag, [&] { return takeBack(record); });
    if (slot.Empty())
        slot = std::move(record);
}
