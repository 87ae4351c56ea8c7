// Runs one search through the real window, offscreen, and reports its cost:
//   search_bench TREE --type modified|created|accessed --mode after|before|on|between
//                --date YYYY-MM-DD [--date2 YYYY-MM-DD] [--print] [--hidden]
// Prints files walked, rows listed, wall seconds, files per second, peak RSS
// and the longest time the window went without processing events; with
// --print, the result rows (path, TAB, date text) on standard output. The
// window is shown (offscreen), unless --hidden: then the search runs without
// the event-gap probe (a 2 ms timer on the window's thread), so the time is
// the search's alone.

#include "app/core/PathSeparator.h"
#include "app/core/RemoveDoubleBackslashes.h"
#include "app/core/RowList.h"
#include "app/platform/PosixFileSystem.h"
#include "app/platform/QtEventPump.h"
#include "app/window/Form1.h"
#include "bench/BenchSeams.h"
#include "search/SearchState.h"

#include <QApplication>
#include <QDate>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cstdio>
#include <cstring>

#include <ctime>

#include <sys/resource.h>

namespace {
double ThreadCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

int Usage()
{
    std::fprintf(stderr, "usage: search_bench TREE --type modified|created|accessed --mode after|before|on|between "
                         "--date YYYY-MM-DD [--date2 YYYY-MM-DD] [--print] [--hidden]\n");
    return 2;
}
}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 2)
        return Usage();
    QString tree = QString::fromLocal8Bit(argv[1]);
    QString type = QStringLiteral("modified"), mode = QStringLiteral("on");
    QDate date = QDate::currentDate(), date2;
    bool print = false;
    bool hidden = false;
    for (int i = 2; i < argc; ++i) {
        const QString option = QString::fromLocal8Bit(argv[i]);
        const QString value = i + 1 < argc ? QString::fromLocal8Bit(argv[i + 1]) : QString();
        if (option == QLatin1String("--print") || option == QLatin1String("--hidden")) {
            (option == QLatin1String("--print") ? print : hidden) = true;
            continue;
        }
        if (option == QLatin1String("--type"))
            type = value;
        else if (option == QLatin1String("--mode"))
            mode = value;
        else if (option == QLatin1String("--date"))
            date = QDate::fromString(value, Qt::ISODate);
        else if (option == QLatin1String("--date2"))
            date2 = QDate::fromString(value, Qt::ISODate);
        else
            return Usage();
        ++i;
    }
    if (!date.isValid())
        return Usage();

    PosixFileSystem fileSystem;
    ConsoleDialogs dialogs;
    NoShell shell;
    QtEventPump pump;
    Form1 form(Seams{fileSystem, dialogs, shell, pump}, QCoreApplication::applicationDirPath());
    form.SetRandomSource([] { return 0.5; });
    form.Form_Load();

    // The folder as Add Folder adds it.
    while (tree.size() > 1 && tree.endsWith(kPathSeparator))
        tree.chop(1);
    form.FolderRows().Add(RemoveDoubleBackslashes(tree + kPathSeparator));
    form.PushButton1->setEnabled(true);
    // Shown, so the views' work on the rows counts in the event gaps.
    if (!hidden)
        form.show();

    (type == QLatin1String("created") ? form.Option2 : type == QLatin1String("accessed") ? form.Option3 : form.Option1)
        ->setChecked(true);
    if (mode == QLatin1String("after")) {
        form.Option7->click();
        form.DTPicker1->setDate(date);
    } else if (mode == QLatin1String("before")) {
        form.Option6->click();
        form.DTPicker2->setDate(date);
    } else if (mode == QLatin1String("between")) {
        form.Option4->click();
        form.DTPicker4->setDate(date);
        form.DTPicker5->setDate(date2.isValid() ? date2 : date);
    } else {
        form.Option5->click();
        form.DTPicker3->setDate(date);
    }

    // The longest stretch between two turns of a 2 ms timer is the longest
    // time the window went without processing events.
    // Where it ended, in seconds from the click, tells which step held the window.
    // On a busy machine the wall time of a gap is mostly waiting for a core,
    // so the window thread's own processor time in it is given too.
    QElapsedTimer wall;
    QElapsedTimer sinceTick;
    qint64 longestGapMs = 0;
    double longestGapEnd = 0;
    double longestCpuGapMs = 0;
    double cpuAtTick = ThreadCpuMs();
    const auto tick = [&] {
        const qint64 gap = sinceTick.restart();
        const double cpu = ThreadCpuMs();
        longestCpuGapMs = std::max(longestCpuGapMs, cpu - cpuAtTick);
        cpuAtTick = cpu;
        if (gap > longestGapMs) {
            longestGapMs = gap;
            longestGapEnd = wall.nsecsElapsed() / 1e9;
        }
    };
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, tick);
    if (!hidden)
        ticker.start(2);
    sinceTick.start();

    wall.start();
    form.PushButton1->click();
    // Lets the views lay out the rows, as the window's loop would next.
    QCoreApplication::processEvents();
    const double seconds = wall.nsecsElapsed() / 1e9;
    tick();
    ticker.stop();

    RowList& rows = form.ResultRows();
    if (print) {
        for (int i = 1; i <= rows.Count(); ++i)
            std::printf("%s\t%s\n", rows.Text(i).toUtf8().constData(), rows.SubItem(i, 1).toUtf8().constData());
    }
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const size_t walked = form.Search().FoundFiles.Count();
    std::fprintf(stderr, "files walked: %zu\nrows listed: %d\nwall seconds: %.3f\nfiles per second: %.0f\npeak RSS MB: %.1f\n",
                 walked, rows.Count(), seconds, walked / std::max(seconds, 1e-9), usage.ru_maxrss / 1024.0);
    if (!hidden)
        std::fprintf(stderr,
                     "longest event gap ms: %lld (ending %.3f s after the click)\n"
                     "longest event gap, window thread's processor ms: %.1f\n",
                     static_cast<long long>(longestGapMs), longestGapEnd, longestCpuGapMs);
    return 0;
}
