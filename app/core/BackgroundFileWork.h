#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

class EventPump;
class QEventLoop;

// File work on a thread of its own while the window's thread waits in a local
// event loop, so no system call, however slow or stuck, holds the window.
// The work reports each chunk it finished; the window's thread runs one
// event point per chunk, and the work waits before it commits until every
// such point has run, so whatever a point does happens before the commit.
// Once the program starts closing the window stops waiting: the work learns
// it at its next chunk or before its commit and undoes what it made, and a
// work stuck in a system call is left behind.
class BackgroundFileWork : public std::enable_shared_from_this<BackgroundFileWork> {
public:
    // Thrown on the work's thread once the window stopped waiting.
    struct Abandoned {};
    using Work = std::function<void(BackgroundFileWork& work)>;

    // Runs the work (which must own or share all it uses) and waits for it
    // with events processed; false when the program started closing first.
    // A failure the work throws is thrown here.
    static bool Run(Work work, EventPump& pump);
    // Work threads still running, waited for or left behind.
    static int Running();
    // Waits until every work thread has ended, so that what they use may go.
    static void WaitForAll();

    // The work's side: one chunk finished.
    void ChunkDone();
    // The work's side: waits until the event point of every chunk has run.
    void BeforeCommit();

    BackgroundFileWork() = default;

private:
    bool Wait(EventPump& pump);
    void Abandon();
    void Finish();
    void WakeWindow();

    std::mutex m_mutex;
    std::condition_variable m_pointsRun;
    int m_chunks = 0;
    int m_points = 0;
    bool m_abandoned = false;
    bool m_wakePosted = false;
    bool m_finished = false;
    std::exception_ptr m_failure;
    QEventLoop* m_loop = nullptr;
};
