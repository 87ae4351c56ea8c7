#pragma once

#include "search/FoundFileList.h"

#include <QString>

#include <memory>
#include <thread>
#include <vector>

class WalkJob;

// The state of the search command, kept for the window's lifetime and
// overwritten by each run.
class SearchState {
public:
    SearchState() = default;
    SearchState(const SearchState&) = delete;
    SearchState& operator=(const SearchState&) = delete;
    // Abandons the walks still running and waits for their workers.
    ~SearchState();

    bool StopSearch = false;
    QString SavedStartCaption;
    // FoundFiles and FoundDates: every file of the last walk and its time.
    FoundFileList FoundFiles;
    // Counts runs; a run that finds a newer one begun ends as if stopped.
    int Generation = 0;
    // The walk of the current run, while it runs.
    std::shared_ptr<WalkJob> CurrentWalk;

    // Runs the job on a worker thread of its own.
    void StartWalk(const std::shared_ptr<WalkJob>& job);

private:
    struct Worker {
        std::shared_ptr<WalkJob> job;
        std::thread thread;
    };
    void JoinFinished();

    std::vector<Worker> m_workers;
};
