#pragma once

#include <chrono>

// How many readers a walk keeps busy. It starts at one per core and doubles
// the count, up to kMostReaders, while the readers spend most of their time
// in reading blocked (waiting for a disk or a server) rather than on the
// processor and work is waiting; a doubling is kept only when the time per
// call stays about the same, that is when the calls overlap instead of
// queueing for a core or a busy server, else it is undone and not tried
// again for a while. When reading turns into processor work the count
// halves back toward the cores. Fed with measured units of reading: a
// folder's listing or a batch of file statuses.
class ReaderCount {
public:
    using Clock = std::chrono::steady_clock;
    // Calls in flight that a file server or a disk queue still overlaps;
    // beyond them a share's round trips gain little and threads cost memory.
    static constexpr unsigned kMostReaders = 64;

    struct Unit {
        std::chrono::nanoseconds wall{0};
        std::chrono::nanoseconds processor{0};
        unsigned calls = 0;
    };

    ReaderCount(unsigned cores, Clock::time_point start);

    unsigned Readers() const { return m_readers; }
    // Adds a finished unit; at the end of a measuring window adjusts the
    // count, given whether work is waiting for a reader. True when it changed.
    bool Record(const Unit& unit, Clock::time_point now, bool workWaiting);

    static unsigned Cores();

private:
    void Adjust(Clock::time_point now, bool workWaiting);

    const unsigned m_cores;
    unsigned m_readers;
    // The count before the doubling on trial, and its time per call.
    unsigned m_before = 0;
    double m_callNsBefore = 0;
    bool m_onTrial = false;
    Clock::time_point m_noTrialBefore;

    Clock::time_point m_windowStart;
    Unit m_window;
    unsigned m_units = 0;
};
