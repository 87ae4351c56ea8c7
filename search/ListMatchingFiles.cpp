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

namespace {
// Rows go into the list this many at a time, one insertion each.
constexpr size_t kRowBatch = 4096;
// The listing pass only builds rows: an event point every so many files is enough.
constexpr size_t kListingPumpInterval = 256;

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
    for (size_t i = 0; i < state.FoundFiles.Count(); ++i) {
        if (!pump.Point() || stopped()) {
            form.SetMousePointer(MousePointer::Default);
            return;
        }
        const qint64 time = state.FoundFiles.Time(i);
        dayOffsets.push_back(static_cast<int8_t>(DayOffsetSign(time, from.Day())));
        if (range->mode == RangeMode::Between)
            dayOffsetsTo.push_back(static_cast<int8_t>(DayOffsetSign(time, to.Day())));
    }

    // Listing pass.
    std::vector<RowList::Row> batch;
    for (size_t i = 0; i < dayOffsets.size(); ++i) {
        const int e = range->mode == RangeMode::Between ? dayOffsetsTo[i] : 0;
        if (MatchesRange(range->mode, dayOffsets[i], e))
            batch.push_back({state.FoundFiles.Path(i), state.FoundFiles.Time(i), false});
        if (batch.size() >= kRowBatch)
            results.AddRows(std::exchange(batch, {}));
        if (stopped() || (i % kListingPumpInterval == 0 && !pump.Point()) || stopped()) {
            if (!superseded())
                results.AddRows(std::move(batch));
            form.SetMousePointer(MousePointer::Default);
            return;
        }
    }
    results.AddRows(std::move(batch));
    form.SetMousePointer(MousePointer::Default);
}
