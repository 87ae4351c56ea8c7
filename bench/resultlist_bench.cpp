// The result list's commands on a large list, through the real window
// offscreen: select all, check all, check selected, sort by path and by date
// (as a heading click does), copy the selected paths. Each time includes the
// events the view processes afterwards.
//   resultlist_bench [ROWS]
#include "bench/BenchSeams.h"
#include "app/Form1.h"
#include "app/platform/PosixFileSystem.h"
#include "app/platform/QtEventPump.h"
#include "app/ResultListMenu.h"
#include "app/RowList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTreeView>

#include <cstdio>
#include <cstdlib>

namespace {
// Runs the step, lets the window process what it caused, prints the time.
template <typename Step>
void Measure(const char* name, Step step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    QApplication::processEvents();
    std::printf("%-22s %8.1f ms\n", name, timer.nsecsElapsed() / 1e6);
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
    for (int i = 0; i < count; ++i) {
        // Walk-like order: folders in turn, names unordered within each.
        const QString path = QStringLiteral("/home/user/Documents/Projects/archive-%1/reports/department-%2/"
                                            "a-longer-subfolder-name/file-%3-with-a-long-descriptive-name.txt")
                                 .arg(i / 5000)
                                 .arg((i / 50) % 100)
                                 .arg((i * 7919) % count);
        batch.push_back({path, (i % 7 == 0) ? kNoTime : 1'600'000'000 + (i * 7919) % 10'000'000, false});
    }
    rows.AddRows(std::move(batch));
    QApplication::processEvents();
    std::printf("rows: %d\n", rows.Count());

    auto* menu = form.findChild<ResultListMenu*>();
    QHeaderView* header = form.ListView2->header();
    Measure("select all", [&] { form.ListView2->selectAll(); });
    Measure("check all", [&] { menu->CheckAll(true); });
    Measure("uncheck selected", [&] { menu->CheckSelected(false); });
    Measure("space (toggle selected)", [&] { menu->ToggleSelected(); });
    Measure("sort by path ascending", [&] { header->setSortIndicator(0, Qt::AscendingOrder); });
    Measure("sort by path descending", [&] { header->setSortIndicator(0, Qt::DescendingOrder); });
    Measure("sort by date ascending", [&] { header->setSortIndicator(1, Qt::AscendingOrder); });
    Measure("copy path (all rows)", [&] { menu->CopyPath(); });
    return 0;
}
