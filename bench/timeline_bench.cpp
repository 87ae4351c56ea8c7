// The timeline of a large result list: the days and bars read from the rows
// (what a new list costs), the bars alone (what rows added at the end cost),
// and through the real window offscreen the redraw after a sort and a click
// on the largest bar, which selects its rows scattered over the list.
//   timeline_bench [ROWS]
#include "actions/timeline/TimelineBins.h"
#include "app/core/RowList.h"
#include "app/platform/PosixFileSystem.h"
#include "app/platform/QtEventPump.h"
#include "app/window/Form1.h"
#include "app/window/ResultListMenu.h"
#include "app/window/RowTableView.h"
#include "app/window/timeline/TimelineChart.h"
#include "app/window/timeline/TimelineWindow.h"
#include "bench/BenchSeams.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QMouseEvent>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {
// A left click, as the window system delivers it.
void Click(QWidget& widget, const QPointF& point, Qt::KeyboardModifiers modifiers = {})
{
    QMouseEvent press(QEvent::MouseButtonPress, point, widget.mapToGlobal(point), Qt::LeftButton, Qt::LeftButton,
                      modifiers);
    QCoreApplication::sendEvent(&widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, point, widget.mapToGlobal(point), Qt::LeftButton, Qt::NoButton,
                        modifiers);
    QCoreApplication::sendEvent(&widget, &release);
}

template <typename Step>
void Measure(const char* name, Step step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    std::printf("%-34s %8.1f ms\n", name, timer.nsecsElapsed() / 1e6);
    std::fflush(stdout);
}
}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
    BenchWindow bench;
    Form1& form = bench.form;
    form.show();
    RowList& rows = form.ResultRows();
    rows.AddColumn(QStringLiteral("File(s) Found"));
    rows.AddColumn(QStringLiteral("Date Modified"));
    std::vector<RowList::Row> batch;
    batch.reserve(static_cast<size_t>(count));
    // Walk order: the times of neighbouring rows are unrelated, over about three years.
    for (int i = 0; i < count; ++i) {
        batch.push_back({QStringLiteral("/home/user/Documents/archive-%1/file-%2.txt").arg(i / 5000).arg(i),
                         (i % 7 == 0) ? kNoTime : 1'600'000'000 + (i * 7919LL) % 100'000'000, false});
    }
    rows.AddRows(std::move(batch));
    QApplication::processEvents();
    std::printf("rows: %d\n", rows.Count());

    std::vector<qint64> days;
    TimelineBins bins;
    Measure("days and bars of every row", [&] {
        AppendTimelineDays(rows, days);
        bins = BinDays(days, QLocale().firstDayOfWeek());
    });
    Measure("bars of known days", [&] { bins = BinDays(days, QLocale().firstDayOfWeek()); });
    std::printf("%d bars (%s)\n", bins.SlotCount(), qPrintable(UnitText(bins)));

    Measure("open the window", [&] {
        ShowTimeline(form);
        QApplication::processEvents();
    });
    auto* window = form.findChild<TimelineWindow*>();
    TimelineChart& chart = window->Chart();
    Measure("sort by date, window redrawn", [&] {
        rows.Sort(2, Qt::AscendingOrder);
        QApplication::processEvents();
        chart.repaint();
    });
    rows.Sort(1, Qt::AscendingOrder);
    QApplication::processEvents();
    // The undated bar holds every seventh row: the most scattered selection.
    const std::vector<int>& counts = chart.Bins().counts;
    const int dated = static_cast<int>(std::max_element(counts.begin() + 1, counts.end()) - counts.begin());
    for (const auto& [name, slot] : {std::pair{"click the undated bar", 0}, std::pair{"click the largest dated bar", dated}}) {
        Measure(name, [&] {
            Click(chart, chart.BarRect(slot).center());
            QApplication::processEvents();
            form.ListView2->repaint();
        });
        std::printf("%d rows in that bar, %zu selected\n", counts[static_cast<size_t>(slot)],
                    form.findChild<ResultListMenu*>()->SelectedRows().size());
    }
    Measure("repaint the list", [&] { form.ListView2->repaint(); });
    Measure("shift-click the last bar", [&] {
        Click(chart, chart.BarRect(chart.Bins().SlotCount() - 1).center(), Qt::ShiftModifier);
        QApplication::processEvents();
        form.ListView2->repaint();
    });
    std::printf("%zu selected\n", form.findChild<ResultListMenu*>()->SelectedRows().size());
    return 0;
}
