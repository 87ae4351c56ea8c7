// Row list costs on a large result list: appends a million rows in batches,
// removes every other row, sorts by path and by date, clears; prints the
// time of each step, the memory a row takes and the longest time the sort by
// path kept events waiting.
//   rowlist_bench [ROWS]
#include "app/core/RowList.h"
#include "app/platform/QtEventPump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {
constexpr size_t kBatch = 4096;

// Resident memory now, in bytes, from /proc/self/statm.
double ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * 4096.0;
}

// A path of about 170 characters like those of a deep tree.
QString PathOf(int i)
{
    return QStringLiteral("/home/user/Documents/Projects/archive-%1/reports/quarterly/2020/department-%2/"
                          "subfolder-with-a-long-descriptive-name/another-level/file-%3-with-a-long-name.txt")
        .arg(i % 97)
        .arg(i % 1013)
        .arg(i);
}

void Report(const char* step, QElapsedTimer& timer)
{
    std::printf("%-28s %8.1f ms\n", step, timer.nsecsElapsed() / 1e6);
    timer.restart();
}
}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
    QtEventPump pump;
    RowList rows(true, pump);
    rows.AddColumn(QStringLiteral("File(s) Found"));
    rows.AddColumn(QStringLiteral("Date Modified"));

    const double before = ResidentBytes();
    QElapsedTimer timer;
    timer.start();
    std::vector<RowList::Row> batch;
    for (int i = 0; i < count; ++i) {
        batch.push_back({PathOf(i), (i % 7 == 0) ? kNoTime : 1'600'000'000 + (i * 7919) % 10'000'000, false});
        if (batch.size() == kBatch)
            rows.AddRows(std::exchange(batch, {}));
    }
    rows.AddRows(std::move(batch));
    Report("append (with path texts)", timer);
    const double after = ResidentBytes();
    std::printf("rows %d, text bytes a row ~%zu, memory a row %.0f bytes\n", rows.Count(),
                static_cast<size_t>(PathOf(count / 2).size()), (after - before) / rows.Count());

    rows.SetAllChecked(true);
    Report("check all", timer);
    rows.Sort(2, Qt::DescendingOrder);
    Report("sort by date", timer);
    // The longest stretch between two turns of a 2 ms timer is the longest
    // time the window's thread went without processing events.
    QElapsedTimer sinceTick;
    qint64 longestGapMs = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] { longestGapMs = std::max(longestGapMs, sinceTick.restart()); });
    ticker.start(2);
    sinceTick.start();
    rows.Sort(1, Qt::AscendingOrder);
    longestGapMs = std::max(longestGapMs, sinceTick.elapsed());
    ticker.stop();
    Report("sort by path", timer);
    std::printf("sort by path, longest without events %lld ms\n", static_cast<long long>(longestGapMs));
    qint64 index = 0;
    rows.RemoveWhere([&](const RowList::Row&) { return index++ % 2 == 0; });
    Report("remove every other row", timer);
    std::printf("rows left %d\n", rows.Count());
    rows.Clear();
    Report("clear", timer);
    std::printf("memory after clear %.1f MB above start\n", (ResidentBytes() - before) / 1e6);
    return 0;
}
