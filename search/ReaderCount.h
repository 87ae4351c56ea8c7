#pragma once

#include <chrono>
#include <functional>

// How many readers a walk keeps busy. It starts at one per core (more on a
// network share) and doubles the count, up to kMostReaders, while the
// readers spend most of their time in reading blocked (waiting for a disk or
// a server: off the processor and put to sleep by their calls, not merely
// queued for a core) and work is waiting. A doubling is kept only when the
// calls answered per second rise with it, that is when the calls overlap
// instead of queueing for a core or a busy server; else it is undone and not
// tried again for a while. When reading turns into processor work the count
// halves back toward the cores. Fed with measured units of reading (a
// folder's listing or a batch of file statuses) and, once per window, the
// processor time and the sleeps of the process.
class ReaderCount {
public:
    using Clock = std::chrono::steady_clock;
    // Calls in flight that a file server or a disk queue still overlaps;
    // beyond them a share's round trips gain little and threads cost memory.
    static constexpr unsigned kMostReaders = 64;

    struct Unit {
        std::chrono::nanoseconds wall{0};
        unsigned calls = 0;
    };
    // What the process has spent so far: processor time, and the times a
    // thread of it was put to sleep waiting (for a disk, a server, a lock).
    struct Spent {
        std::chrono::nanoseconds processor{0};
        long waits = 0;
    };
    using SpentClock = std::function<Spent()>;

    // Calls in flight to start with where each call is a round trip to a
    // server: a network share pays at once for as many; where the calls turn
    // out not to wait, the count halves back to the cores.
    static constexpr unsigned kFirstForRoundTrips = 16;

    ReaderCount(unsigned cores, unsigned first, Clock::time_point start, SpentClock spent = ProcessSpent);

    unsigned Readers() const { return m_readers; }
    // Adds a finished unit; at the end of a measuring window adjusts the
    // count, given whether work is waiting for a reader. True when it changed.
    bool Record(const Unit& unit, Clock::time_point now, bool workWaiting);

    static unsigned Cores();
    static Spent ProcessSpent();

private:
    void Adjust(Clock::time_point now, double offProcessor, bool waits, double rate, bool workWaiting);

    const SpentClock m_spent;
    const unsigned m_cores;
    unsigned m_readers;
    // The count before the doubling on trial (0 when none is), and its calls per second.
    unsigned m_before = 0;
    double m_rateBefore = 0;
    // Windows until the doubling on trial is judged: it is judged on the two
    // windows after the one it began in, which mixes the readers' start-up in.
    unsigned m_trialWindows = 0;
    Clock::time_point m_noTrialBefore;

    Clock::time_point m_windowStart;
    Spent m_spentAtStart;
    // The units of the window: their calls and the readers' time in them.
    Unit m_window;
    // The calls and seconds of the window before; the rate is taken over two
    // windows, as one holds too few units to tell a change from chance.
    double m_callsBefore = 0;
    double m_secondsBefore = 0;
    unsigned m_units = 0;
};
