#include "app/core/BackgroundFileWork.h"

#include "app/core/EventPump.h"
#include "app/core/WorkThreads.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <pthread.h>
#include <thread>

namespace {
// How often the waiting window looks whether the program is closing.
constexpr int kClosingCheckMs = 10;
}  // namespace

bool BackgroundFileWork::Run(Work work, EventPump& pump)
{
    const auto job = std::make_shared<BackgroundFileWork>();
    WorkThreads::Started();
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
        WorkThreads::Ended();
    }).detach();
    if (!job->Wait(pump))
        return false;
    if (job->m_failure)
        std::rethrow_exception(job->m_failure);
    return true;
}

int BackgroundFileWork::Running()
{
    return WorkThreads::Running();
}

void BackgroundFileWork::WaitForAll()
{
    WorkThreads::WaitForAll();
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
