#include "search/SearchState.h"

#include "app/core/WorkThreads.h"
#include "search/WalkJob.h"

#include <pthread.h>

SearchState::~SearchState()
{
    for (Worker& worker : m_workers) {
        worker.job->Abandon();
        worker.thread.join();
    }
}

void SearchState::StartWalk(const std::shared_ptr<WalkJob>& job)
{
    JoinFinished();
    // Counted, so that the program's end does not wait long for a walk stuck
    // on a stalled mount.
    WorkThreads::Started();
    m_workers.push_back({job, std::thread([job] {
                             pthread_setname_np(pthread_self(), "orvanta-walk");
                             job->Execute();
                             WorkThreads::Ended();
                         })});
}

void SearchState::JoinFinished()
{
    // A worker that was abandoned while stuck in a system call stays until it returns.
    std::erase_if(m_workers, [](Worker& worker) {
        if (!worker.job->Finished())
            return false;
        worker.thread.join();
        return true;
    });
}
