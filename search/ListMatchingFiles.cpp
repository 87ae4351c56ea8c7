#include "search/ListMatchingFiles.h"

#include "app/EventPump.h"
#include "app/Form1.h"
#include "app/MousePointer.h"
#include "app/RowList.h"
#include "app/Timestamp.h"
#include "search/DateMatching.h"
#include "search/SearchState.h"

#include <QDateEdit>
#include <QRadioButton>

#include <cstdint>
#include <optional>
#include <string_view>

namespace {
// Both passes do little per file: an event point (a clock read) every so
// many files keeps the window as alive as one per file would.
constexpr size_t kPumpInterval = 4096;

struct Range {
    RangeMode mode;
    QDateEdit* picker;
    QDateEdit* secondPicker = nullptr;
};

std::optional<Range> ChosenRange(Form1& form)
{
    if (form.Option7->isChecked())
        return Range{RangeMode::After, form.DTPicker1};
    if (form.Option6->isChecked())
        return Range{RangeMode::Before, form.DTPicker2};
    if (form.Option5->isChecked())
        return Range{RangeMode::On, form.DTPicker3};
    if (form.Option4->isChecked())
        return Range{RangeMode::Between, form.DTPicker4, form.DTPicker5};
    return std::nullopt;
}

// A picker's day, kept current while events are processed, so that every
// file is measured against the picker's value at that moment.
class PickerDay {
public:
    explicit PickerDay(QDateEdit* picker) : m_day(picker ? DayNumber(picker->date()) : 0)
    {
        if (picker)
            QObject::connect(picker, &QDateEdit::dateChanged, &m_scope,
                             [this](const QDate& date) { m_day = DayNumber(date); });
    }
    qint64 Day() const { return m_day; }

private:
    QObject m_scope;
    qint64 m_day;
};
}  // namespace

void ListMatchingFiles(Form1& form, int generation)
{
    SearchState& state = form.Search();
    EventPump& pump = form.Services().pump;
    const auto superseded = [&] { return state.Generation != generation; };
    const auto stopped = [&] { return state.StopSearch || superseded() || pump.Closing(); };

    form.SetMousePointer(MousePointer::Hourglass);
    RowList& results = form.ResultRows();
    results.Clear();
    const std::optional<Range> range = ChosenRange(form);
    if (!range) {
        form.SetMousePointer(MousePointer::Default);
        return;
    }

    // Offset pass: the sign of each file's day offset from the picker(s).
    const PickerDay from(range->picker);
    const PickerDay to(range->secondPicker);
    std::vector<int8_t> dayOffsets;
    std::vector<int8_t> dayOffsetsTo;
    const FoundFileList& found = state.FoundFiles;
    dayOffsets.reserve(found.Count());
    if (range->mode == RangeMode::Between)
        dayOffsetsTo.reserve(found.Count());
    for (size_t i = 0; i < found.Count(); ++i) {
        if (i % kPumpInterval == 0 && (!pump.Point() || stopped())) {
            form.SetMousePointer(MousePointer::Default);
            return;
        }
        const qint64 time = found.Time(i);
        dayOffsets.push_back(static_cast<int8_t>(DayOffsetSign(time, from.Day())));
        if (range->mode == RangeMode::Between)
            dayOffsetsTo.push_back(static_cast<int8_t>(DayOffsetSign(time, to.Day())));
    }

    // Listing pass: the rows are made beside the list and put in with one
    // insertion, so the list is only ever empty or complete. Events are let
    // through only to keep the window alive; a stop, a newer run or a
    // clearing of the list made there ends the pass with the list empty.
    bool cleared = false;
    const QObject scope;
    QObject::connect(&results, &QAbstractItemModel::modelReset, &scope, [&cleared] { cleared = true; });
    const auto matches = [&](size_t i) {
        return MatchesRange(range->mode, dayOffsets[i], range->mode == RangeMode::Between ? dayOffsetsTo[i] : 0);
    };
    size_t matchCount = 0;
    for (size_t i = 0; i < dayOffsets.size(); ++i)
        matchCount += matches(i) ? 1 : 0;
    // The rows refer to the walk record's folders and names, and share its storage.
    RowList::Batch rows(found.Folders(), found.Storage());
    rows.Reserve(matchCount);
    for (size_t i = 0; i < dayOffsets.size(); ++i) {
        if (i % kPumpInterval == 0 && (!pump.Point() || stopped() || cleared)) {
            form.SetMousePointer(MousePointer::Default);
            return;
        }
        if (matches(i))
            rows.Add(found.FolderIndex(i), found.NameUtf8(i), found.Time(i));
    }
    results.AddRows(std::move(rows));
    form.SetMousePointer(MousePointer::Default);
}
