#include "app/core/WorkThreads.h"

#include <QCoreApplication>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

namespace {
std::mutex g_mutex;
std::condition_variable g_changed;
int g_running = 0;

// How long the program's end waits for work threads: an abandoned work ends
// at its next check, and a committed one (naming copies, deleting their
// sources) finishes, so a close leaves no file in both places unsaid.
constexpr auto kEndGrace = std::chrono::seconds(1);

// Past the grace the process ends at once. Nothing half-written stands under
// a real name, so nothing is lost.
void EndAtQuitWhileWorkRuns()
{
    static const bool connected = [] {
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, [] {
            std::unique_lock lock(g_mutex);
            if (!g_changed.wait_for(lock, kEndGrace, [] { return g_running == 0; }))
                std::_Exit(EXIT_SUCCESS);
        });
        return true;
    }();
    (void)connected;
}
}  // namespace

void WorkThreads::Started()
{
    EndAtQuitWhileWorkRuns();
    const std::lock_guard lock(g_mutex);
    ++g_running;
}

void WorkThreads::Ended()
{
    {
        const std::lock_guard lock(g_mutex);
        --g_running;
    }
    g_changed.notify_all();
}

int WorkThreads::Running()
{
    const std::lock_guard lock(g_mutex);
    return g_running;
}

void WorkThreads::WaitForAll()
{
    std::unique_lock lock(g_mutex);
    g_changed.wait(lock, [] { return g_running == 0; });
}
