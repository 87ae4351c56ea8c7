#include "app/core/BackgroundFileWork.h"

#include "app/core/EventPump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <cstdlib>
#include <pthread.h>
#include <thread>

namespace {
// How often the waiting window looks whether the program is closing.
constexpr int kClosingCheckMs = 10;

std::mutex g_runningMutex;
std::condition_variable g_runningChanged;
int g_running = 0;

// How long the program's end waits for work threads: an abandoned work ends
// at its next chunk, and a committed one (naming copies, deleting their
// sources) finishes, so a close leaves no file in both places unsaid.
constexpr auto kEndGrace = std::chrono::seconds(1);

// A work thread stuck in a system call must not hold the program's end, nor
// run on while the objects it uses are destroyed: past the grace the process
// ends at once. Nothing half-written stands under a real name, so nothing is
// lost.
void EndAtQuitWhileWorkRuns()
{
    static const bool connected = [] {
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, [] {
            std::unique_lock lock(g_runningMutex);
            if (!g_runningChanged.wait_for(lock, kEndGrace, [] { return g_running == 0; }))
                std::_Exit(EXIT_SUCCESS);
        });
        return true;
    }();
    (void)connected;
}
}  // namespace

bool BackgroundFileWork::Run(Work work, EventPump& pump)
{
    EndAtQuitWhileWorkRuns();
    const auto job = std::make_shared<BackgroundFileWork>();
    {
        const std::lock_guard lock(g_runningMutex);
        ++g_running;
    }
    std::thread([job, work = std::move(work)] {
        pthread_setname_np(pthread_self(), "orvanta-copy");
        try {
            work(*job);
        } catch (const Abandoned&) {
        } catch (...) {
            const std::lock_guard lock(job->m_mutex);
            job->m_failure = std::current_exception();
        }
        job->Finish();
        {
            const std::lock_guard lock(g_runningMutex);
            --g_running;
        }
        g_runningChanged.notify_all();
    }).detach();
    if (!job->Wait(pump))
        return false;
    if (job->m_failure)
        std::rethrow_exception(job->m_failure);
    return true;
}

int BackgroundFileWork::Running()
{
    const std::lock_guard lock(g_runningMutex);
    return g_running;
}

void BackgroundFileWork::WaitForAll()
{
    std::unique_lock lock(g_runningMutex);
    g_runningChanged.wait(lock, [] { return g_running == 0; });
}

void BackgroundFileWork::ChunkDone()
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_abandoned)
            throw Abandoned{};
        ++m_chunks;
    }
    WakeWindow();
}

void BackgroundFileWork::BeforeCommit()
{
    std::unique_lock lock(m_mutex);
    m_pointsRun.wait(lock, [this] { return m_abandoned || m_points == m_chunks; });
    if (m_abandoned)
        throw Abandoned{};
}

void BackgroundFileWork::Finish()
{
    {
        const std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    WakeWindow();
}

void BackgroundFileWork::WakeWindow()
{
    // One wake-up at a time: the window takes every chunk done so far at once.
    {
        const std::lock_guard lock(m_mutex);
        if (m_wakePosted)
            return;
        m_wakePosted = true;
    }
    // Runs on the window's thread; the loop pointer is only set while Wait sleeps in it.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [job = weak_from_this()] {
            if (const std::shared_ptr<BackgroundFileWork> self = job.lock()) {
                const std::lock_guard lock(self->m_mutex);
                self->m_wakePosted = false;
                if (self->m_loop)
                    self->m_loop->quit();
            }
        },
        Qt::QueuedConnection);
}

void BackgroundFileWork::Abandon()
{
    m_abandoned = true;
    m_pointsRun.notify_all();
}

bool BackgroundFileWork::Wait(EventPump& pump)
{
    QEventLoop loop;
    QTimer closingCheck;
    QObject::connect(&closingCheck, &QTimer::timeout, &loop, &QEventLoop::quit);
    closingCheck.start(kClosingCheckMs);
    std::unique_lock lock(m_mutex);
    for (;;) {
        while (m_points < m_chunks) {
            lock.unlock();
            const bool open = pump.Point();
            lock.lock();
            if (!open) {
                Abandon();
                return false;
            }
            ++m_points;
            m_pointsRun.notify_all();
        }
        if (m_finished)
            return true;
        if (pump.Closing()) {
            Abandon();
            return false;
        }
        m_loop = &loop;
        lock.unlock();
        loop.exec();
        lock.lock();
        m_loop = nullptr;
    }
}
