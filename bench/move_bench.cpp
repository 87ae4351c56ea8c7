// The move of a 1 GiB dense file, a 2 GiB sparse file and 10,000 small files,
// through the command's own routine: across devices beside `mv`, and on one
// device beside `cp --reflink=auto --sparse=always`. Prints each time, the
// longest stretch the window's thread went without processing events, and
// the disk blocks the files take before and after. Mounts a tmpfs as the
// other device (run as root); the first device is the folder given, or the
// working folder. SAMPLES picks some of dense, sparse and small (all by
// default); each measurement runs RUNS times and the median is printed.
//   move_bench [FOLDER] [SMALL_FILES] [SAMPLES] [RUNS]
#include "actions/FileFailures.h"
#include "actions/MoveCheckedFiles.h"
#include "app/core/ErrorTrap.h"
#include "app/core/RowList.h"
#include "app/platform/PosixFileSystem.h"
#include "app/platform/QtEventPump.h"
#include "bench/BenchSeams.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
constexpr qint64 kMiB = 1 << 20;

// Measures the longest stretch between two runs of a 1 ms timer.
class GapWatch {
public:
    GapWatch()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, m_since.restart());
        });
    }
    void Start()
    {
        m_longest = 0;
        m_since.start();
        m_timer.start(1);
    }
    qint64 Stop()
    {
        m_timer.stop();
        return std::max(m_longest, m_since.elapsed());
    }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
};

QStringList FilesIn(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

qint64 BlocksMiB(const QString& folder)
{
    qint64 blocks = 0;
    for (const QString& file : FilesIn(folder)) {
        struct stat status {};
        if (::stat(QFile::encodeName(file).constData(), &status) == 0)
            blocks += status.st_blocks;
    }
    return blocks * 512 / kMiB;
}

void Write(const QString& path, qint64 size, qint64 dataEvery, qint64 dataLength)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        std::exit(1);
    const QByteArray data(static_cast<qsizetype>(std::min({dataLength, size, 8 * kMiB})), 'd');
    for (qint64 at = 0; at < size; at += dataEvery) {
        for (qint64 written = 0; written < dataLength && at + written < size; written += data.size()) {
            if (::pwrite(fd, data.constData(), static_cast<size_t>(data.size()), at + written) < 0)
                std::exit(1);
        }
    }
    if (::ftruncate(fd, size) != 0)
        std::exit(1);
    ::close(fd);
}

// One set of files to move.
struct Sample {
    const char* key;
    const char* name;
    void (*make)(const QString& folder, int smallFiles);
};

void MakeDense(const QString& folder, int)
{
    Write(folder + QStringLiteral("/dense.bin"), 1024 * kMiB, 1024 * kMiB, 1024 * kMiB);
}

void MakeSparse(const QString& folder, int)
{
    Write(folder + QStringLiteral("/sparse.bin"), 2048 * kMiB, 128 * kMiB, kMiB);
}

void MakeSmall(const QString& folder, int smallFiles)
{
    for (int i = 0; i < smallFiles; ++i)
        Write(folder + QStringLiteral("/note-%1.txt").arg(i), 200 + i % 4000, 1 << 30, 1 << 30);
}

double ProgramMove(const QString& from, const QString& to, qint64& longestGap)
{
    PosixFileSystem fileSystem;
    ConsoleDialogs dialogs;
    QtEventPump pump;
    RowList rows(true, pump);
    rows.AddColumn(QStringLiteral("File(s) Found"));
    for (const QString& file : FilesIn(from))
        rows.Add(file);
    rows.SetAllChecked(true);
    ErrorTrap trap(dialogs, nullptr, QStringLiteral("move "));
    FileFailures failures;
    GapWatch watch;
    QElapsedTimer timer;
    watch.Start();
    timer.start();
    MoveCheckedFiles(rows, to + QLatin1Char('/'), fileSystem, pump, trap, failures);
    const double seconds = timer.nsecsElapsed() / 1e9;
    longestGap = watch.Stop();
    if (failures.Count() > 0)
        std::printf("%s\n", qPrintable(failures.Text(QStringLiteral("not moved:"))));
    return seconds;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Tool(const QString& command, const QString& from, const QString& to)
{
    QStringList arguments{QStringLiteral("-c"), command + QStringLiteral(" \"$1\"/* \"$2\"/"), QStringLiteral("sh"),
                          from, to};
    QElapsedTimer timer;
    timer.start();
    QProcess::execute(QStringLiteral("/bin/sh"), arguments);
    return timer.nsecsElapsed() / 1e9;
}

void Clear(const QString& folder)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
}
}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QString base = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    const int smallFiles = argc > 2 ? std::atoi(argv[2]) : 10'000;
    QTemporaryDir work(base + QStringLiteral("/move_bench-XXXXXX"));
    const QString source = work.filePath(QStringLiteral("source"));
    const QString sameDevice = work.filePath(QStringLiteral("same"));
    const QString otherDevice = work.filePath(QStringLiteral("other"));
    for (const QString& folder : {source, sameDevice, otherDevice})
        QDir().mkpath(folder);
    const QByteArray mountPoint = QFile::encodeName(otherDevice);
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=3g") != 0) {
        std::perror("mount tmpfs");
        return 1;
    }
    const QString picked = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("dense,sparse,small");
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 1;
    const Sample samples[] = {{"dense", "1 GiB dense", MakeDense},
                              {"sparse", "2 GiB sparse", MakeSparse},
                              {"small", "small files", MakeSmall}};
    std::printf("%-13s %-28s %9s %9s %12s %15s\n", "files", "move", "program", "tool", "longest gap",
                "blocks MiB b/a");
    for (const Sample& sample : samples) {
        if (!picked.split(QLatin1Char(',')).contains(QLatin1String(sample.key)))
            continue;
        for (const bool across : {true, false}) {
            const QString target = across ? otherDevice : sameDevice;
            std::vector<double> programTimes;
            std::vector<double> toolTimes;
            std::vector<double> gaps;
            qint64 before = 0;
            qint64 after = 0;
            for (int run = 0; run < runs; ++run) {
                Clear(source);
                sample.make(source, smallFiles);
                ::sync();
                before = BlocksMiB(source);
                qint64 gap = 0;
                programTimes.push_back(ProgramMove(source, target, gap));
                gaps.push_back(static_cast<double>(gap));
                after = BlocksMiB(target);
                Clear(target);
                Clear(source);
                sample.make(source, smallFiles);
                ::sync();
                toolTimes.push_back(across
                    ? Tool(QStringLiteral("mv"), source, target)
                    : Tool(QStringLiteral("cp --reflink=auto --sparse=always"), source, target));
                Clear(target);
            }
            std::printf("%-13s %-28s %8.2fs %8.2fs %10.0f ms %7lld/%lld\n", sample.name,
                        across ? "across devices, beside mv" : "one device, beside cp", Median(programTimes),
                        Median(toolTimes), Median(gaps), static_cast<long long>(before),
                        static_cast<long long>(after));
            std::fflush(stdout);
        }
    }
    ::umount2(mountPoint.constData(), MNT_DETACH);
    return 0;
}
