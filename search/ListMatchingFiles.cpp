#include "search/ListMatchingFiles.h"

#include "app/core/CommandWindow.h"
#include "app/core/EventPump.h"
#include "app/core/MousePointer.h"
#include "app/core/RowList.h"
#include "app/core/Timestamp.h"
#include "search/DateMatching.h"
#include "search/SearchControls.h"
#include "search/SearchState.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace {
// Both passes do little per file: an event point (a clock read) every so
// many files keeps the window as alive as one per file would.
constexpr size_t kPumpInterval = 4096;

// The days of the range's picker(s), read again after each event point.
class RangeDays {
public:
    RangeDays(const SearchControls& controls, RangeMode mode) : m_controls(controls), m_mode(mode) { Read(); }
    void Read()
    {
        m_from = m_controls.PickerDay(m_mode, false);
        m_to = m_mode == RangeMode::Between ? m_controls.PickerDay(m_mode, true) : 0;
    }
    qint64 From() const { return m_from; }
    qint64 To() const { return m_to; }

private:
    const SearchControls& m_controls;
    const RangeMode m_mode;
    qint64 m_from = 0;
    qint64 m_to = 0;
};
}  // namespace

void ListMatchingFiles(SearchState& state, RowList& results, const SearchControls& controls, EventPump& pump,
                       CommandWindow& window, int generation)
{
    const auto superseded = [&] { return state.Generation != generation; };
    const auto stopped = [&] { return state.StopSearch || superseded() || pump.Closing(); };

    window.SetMousePointer(MousePointer::Hourglass);
    results.Clear();
    const std::optional<RangeMode> mode = controls.CheckedRange();
    if (!mode) {
        window.SetMousePointer(MousePointer::Default);
        return;
    }

    // Offset pass: the sign of each file's day offset from the picker(s).
    RangeDays days(controls, *mode);
    std::vector<int8_t> dayOffsets;
    std::vector<int8_t> dayOffsetsTo;
    const FoundFileList& found = state.FoundFiles;
    dayOffsets.reserve(found.Count());
    if (*mode == RangeMode::Between)
        dayOffsetsTo.reserve(found.Count());
    for (size_t i = 0; i < found.Count(); ++i) {
        if (i % kPumpInterval == 0) {
            if (!pump.Point() || stopped()) {
                window.SetMousePointer(MousePointer::Default);
                return;
            }
            days.Read();
        }
        const qint64 time = found.Time(i);
        dayOffsets.push_back(static_cast<int8_t>(DayOffsetSign(time, days.From())));
        if (*mode == RangeMode::Between)
            dayOffsetsTo.push_back(static_cast<int8_t>(DayOffsetSign(time, days.To())));
    }

    // Listing pass: the rows are made beside the list and put in with one
    // insertion, so the list is only ever empty or complete. Events are let
    // through only to keep the window alive; a stop, a newer run or a
    // clearing of the list made there ends the pass with the list empty.
    bool cleared = false;
    const QObject scope;
    QObject::connect(&results, &QAbstractItemModel::modelReset, &scope, [&cleared] { cleared = true; });
    const auto matches = [&](size_t i) {
        return MatchesRange(*mode, dayOffsets[i], *mode == RangeMode::Between ? dayOffsetsTo[i] : 0);
    };
    size_t matchCount = 0;
    for (size_t i = 0; i < dayOffsets.size(); ++i)
        matchCount += matches(i) ? 1 : 0;
    // The rows refer to the walk record's folders and names, and share its storage.
    RowList::Batch rows(found.Folders(), found.Storage());
    rows.Reserve(matchCount);
    for (size_t i = 0; i < dayOffsets.size(); ++i) {
        if (i % kPumpInterval == 0 && (!pump.Point() || stopped() || cleared)) {
            window.SetMousePointer(MousePointer::Default);
            return;
        }
        if (matches(i))
            rows.Add(found.FolderIndex(i), found.NameUtf8(i), found.Time(i));
    }
    results.AddRows(std::move(rows));
    window.SetMousePointer(MousePointer::Default);
}
