// Save, CSV export and clipboard copy of a large result list, and a move of many small
// checked files, through the commands' own routines. Prints each time, the
// longest stretch without processing events and, for the save, the peak
// memory above the filled list.
//   actions_bench [ROWS] [FILES]
#include "actions/Clipboard.h"
#include "actions/CsvExport.h"
#include "actions/FileFailures.h"
#include "actions/MoveCheckedFiles.h"
#include "actions/SaveListviewProperlySpaced.h"
#include "app/core/ErrorTrap.h"
#include "app/core/EventPump.h"
#include "app/core/RowList.h"
#include "app/platform/PosixFileSystem.h"
#include "bench/BenchSeams.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>

namespace {
// A line of /proc/self/status in kB (VmRSS).
long StatusKb(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(static_cast<int>(qstrlen(key)) + 1).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Processes events every 10 ms of work, as the program's pump does, and
// keeps the longest stretch between two processings and the highest
// resident memory seen there. A 2 ms timer counts the events a waiting
// window processes in a local loop.
class GapPump : public EventPump {
public:
    GapPump()
    {
        m_ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_ticker, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, m_since.elapsed());
            m_since.restart();
        });
        m_ticker.start(2);
        m_since.start();
    }
    void Start()
    {
        m_longest = 0;
        m_peakKb = StatusKb("VmRSS:");
        m_since.start();
    }
    qint64 LongestGapMs()
    {
        m_longest = std::max(m_longest, m_since.elapsed());
        return m_longest;
    }
    long PeakKb() const { return m_peakKb; }

protected:
    void ProcessEvents() override
    {
        const qint64 gap = m_since.elapsed();
        if (gap < 10)
            return;
        m_longest = std::max(m_longest, gap);
        m_peakKb = std::max(m_peakKb, StatusKb("VmRSS:"));
        QCoreApplication::processEvents();
        m_since.restart();
    }

private:
    QTimer m_ticker;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
    long m_peakKb = 0;
};

template <typename Step>
void Measure(const char* name, GapPump& pump, Step step)
{
    QElapsedTimer timer;
    pump.Start();
    timer.start();
    step();
    std::printf("%-8s %8.1f ms, longest without events %lld ms\n", name, timer.nsecsElapsed() / 1e6,
                static_cast<long long>(pump.LongestGapMs()));
    std::fflush(stdout);
}
}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int rowCount = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
    const int fileCount = argc > 2 ? std::atoi(argv[2]) : 10'000;
    PosixFileSystem fileSystem;
    ConsoleDialogs dialogs;
    GapPump pump;
    QTemporaryDir work;

    RowList rows(true, pump);
    rows.AddColumn(QStringLiteral("File(s) Found"));
    rows.AddColumn(QStringLiteral("Date Modified"));
    std::vector<RowList::Row> filled;
    filled.reserve(static_cast<size_t>(rowCount));
    for (int i = 0; i < rowCount; ++i) {
        filled.push_back({QStringLiteral("/home/user/projects/folder%1/sub%2/file-%3.txt").arg(i / 1000).arg(i % 7).arg(i),
                          1'600'000'000 + i * 37LL, false});
    }
    rows.AddRows(std::move(filled));
    std::printf("%d rows, %d files\n", rowCount, fileCount);

    // Hands the fill's freed memory back, so the peak counts the save alone.
    malloc_trim(0);
    const long before = StatusKb("VmRSS:");
    const QString savePath = work.filePath(QStringLiteral("results.txt"));
    Measure("save", pump, [&] { SaveListviewProperlySpaced(rows, savePath, fileSystem, pump, dialogs, nullptr); });
    std::printf("save     %lld bytes written, peak %ld MB above the list\n",
                static_cast<long long>(QFileInfo(savePath).size()), (std::max(pump.PeakKb(), StatusKb("VmRSS:")) - before) / 1024);

    malloc_trim(0);
    const long beforeCsv = StatusKb("VmRSS:");
    const QString csvPath = work.filePath(QStringLiteral("results.csv"));
    Measure("csv", pump, [&] { ExportListviewAsCsv(rows, csvPath, fileSystem, pump, dialogs, nullptr); });
    std::printf("csv      %lld bytes written, peak %ld MB above the list\n",
                static_cast<long long>(QFileInfo(csvPath).size()), (std::max(pump.PeakKb(), StatusKb("VmRSS:")) - beforeCsv) / 1024);

    Measure("copy", pump, [&] { CopyListviewToClipboard(rows, pump); });
    std::printf("copy     %lld characters on the clipboard\n",
                static_cast<long long>(QGuiApplication::clipboard()->text().size()));

    const QString source = work.filePath(QStringLiteral("source"));
    const QString target = work.filePath(QStringLiteral("target/"));
    QDir().mkpath(source);
    QDir().mkpath(target);
    RowList files(true, pump);
    files.AddColumn(QStringLiteral("File(s) Found"));
    for (int i = 0; i < fileCount; ++i) {
        const QString path = source + QStringLiteral("/note-%1.txt").arg(i);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray(200 + i % 1000, 'x'));
        files.Add(path);
    }
    files.SetAllChecked(true);
    ErrorTrap trap(dialogs, nullptr, QStringLiteral("move "));
    FileFailures failures;
    Measure("move", pump, [&] { MoveCheckedFiles(files, target, fileSystem, pump, trap, failures); });
    std::printf("move     %d rows left, %d not moved, %lld files in the target\n", files.Count(), failures.Count(),
                static_cast<long long>(QDir(target).entryList(QDir::Files).size()));
    return 0;
}
