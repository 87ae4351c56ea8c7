// The result list's commands on a large list, through the real window
// offscreen: the one insertion of all rows with the view's first layout and
// paint, select all, check all, check selected, sort by path and by date
// (as a heading click does), copy the selected paths. Each time includes the
// events the view processes afterwards. The window is shown (offscreen).
//   resultlist_bench [ROWS]
#include "app/core/RowList.h"
#include "app/core/Utf8TextStore.h"
#include "app/platform/PosixFileSystem.h"
#include "app/platform/QtEventPump.h"
#include "app/window/Form1.h"
#include "app/window/ResultListMenu.h"
#include "app/window/RowTableView.h"
#include "bench/BenchSeams.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {
// Processor time of the window's thread: on a busy machine the wall time of a
// step is mostly waiting for a core.
double ThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Runs the step, lets the window process what it caused unless told not to,
// prints the wall time and the window thread's processor time.
template <typename Step>
void Measure(const char* name, Step step, bool processEvents = true)
{
    QElapsedTimer timer;
    const double cpuBefore = ThreadCpuMs();
    timer.start();
    step();
    if (processEvents)
        QApplication::processEvents();
    std::printf("%-24s %8.1f ms  (processor %.1f ms)\n", name, timer.nsecsElapsed() / 1e6, ThreadCpuMs() - cpuBefore);
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
    // Walk-like order: folders in turn, names unordered within each; the
    // rows refer to folders and names kept in one store, as a search's do.
    auto texts = std::make_shared<Utf8TextStore>();
    std::vector<std::string_view> folders;
    constexpr int kFilesPerFolder = 50;
    for (int f = 0; f * kFilesPerFolder < count; ++f)
        folders.push_back(texts->Append(QStringLiteral("/home/user/Documents/Projects/archive-%1/reports/"
                                                       "department-%2/a-longer-subfolder-name")
                                            .arg(f * kFilesPerFolder / 5000)
                                            .arg(f % 100)
                                            .toStdString()));
    RowList::Batch batch(std::move(folders), texts);
    batch.Reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const long long scattered = static_cast<long long>(i) * 7919;
        const std::string name = "file-" + std::to_string(scattered % count) + "-with-a-long-descriptive-name.txt";
        batch.Add(static_cast<uint32_t>(i / kFilesPerFolder), texts->Append(name),
                  (i % 7 == 0) ? kNoTime : 1'600'000'000 + scattered % 10'000'000);
    }
    QApplication::processEvents();
    // The insertion and the view's first layout and paint run in separate
    // events; each is one wait of the window.
    Measure("insert rows", [&] { rows.AddRows(std::move(batch)); }, false);
    Measure("first layout + paint", [&] { form.ListView2->repaint(); });
    std::printf("rows: %d\n", rows.Count());

    auto* menu = form.findChild<ResultListMenu*>();
    QHeaderView* header = form.ListView2->horizontalHeader();
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
