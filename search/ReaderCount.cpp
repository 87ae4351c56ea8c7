#include "search/ReaderCount.h"

#include <algorithm>
#include <thread>
#include <utility>

#include <ctime>

namespace {
using namespace std::chrono_literals;
// Long enough for every reader to finish a unit of a few round trips.
constexpr auto kWindow = 20ms;
// After a doubling that did not pay, the count holds this long.
constexpr auto kHold = 500ms;
// Mostly blocked: add readers. Mostly on the processor: fewer.
constexpr double kBlockedToGrow = 0.5;
constexpr double kBlockedToShrink = 0.2;
// A doubling that answers fewer more calls per second than this queues
// rather than overlaps: the calls wait for a core or a busy server.
constexpr double kGainToKeep = 1.15;
}  // namespace

ReaderCount::ReaderCount(unsigned cores, unsigned first, Clock::time_point start, ProcessorClock processor)
    : m_processor(std::move(processor)), m_cores(std::max(2u, cores)),
      m_readers(std::clamp(first, m_cores, kMostReaders)), m_noTrialBefore(start),
      m_windowStart(start), m_processorAtStart(m_processor())
{
}

unsigned ReaderCount::Cores()
{
    return std::thread::hardware_concurrency();
}

std::chrono::nanoseconds ReaderCount::ProcessTime()
{
    // A system call, unlike the wall clock: read once per window, not per unit.
    return std::chrono::nanoseconds(static_cast<long long>(std::clock() * (1e9 / CLOCKS_PER_SEC)));
}

bool ReaderCount::Record(const Unit& unit, Clock::time_point now, bool workWaiting)
{
    m_window.wall += unit.wall;
    m_window.calls += unit.calls;
    ++m_units;
    if (now - m_windowStart < kWindow || m_units < m_readers || m_window.calls == 0)
        return false;
    // The share of the readers' time in reading that was not on the
    // processor; the window thread's own work counts as the readers', which
    // only errs toward fewer readers.
    const std::chrono::nanoseconds processor = m_processor();
    const double wallNs = static_cast<double>(m_window.wall.count());
    const double blocked = wallNs > 0 ? 1.0 - static_cast<double>((processor - m_processorAtStart).count()) / wallNs : 0.0;
    const double seconds = std::chrono::duration<double>(now - m_windowStart).count();
    const double rate = (m_callsBefore + m_window.calls) / (m_secondsBefore + seconds);
    const unsigned readers = m_readers;
    Adjust(now, blocked, rate, workWaiting);
    m_callsBefore = m_window.calls;
    m_secondsBefore = seconds;
    m_window = {};
    m_units = 0;
    m_windowStart = now;
    m_processorAtStart = processor;
    return m_readers != readers;
}

void ReaderCount::Adjust(Clock::time_point now, double blocked, double rate, bool workWaiting)
{
    if (m_trialWindows > 0 && --m_trialWindows > 0)
        return;
    if (m_before > 0) {
        const unsigned before = std::exchange(m_before, 0);
        if (rate < kGainToKeep * m_rateBefore) {
            m_readers = before;
            m_noTrialBefore = now + kHold;
            return;
        }
    }
    if (blocked > kBlockedToGrow && workWaiting && m_readers < kMostReaders && now >= m_noTrialBefore) {
        m_before = m_readers;
        m_rateBefore = rate;
        m_readers = std::min(2 * m_readers, kMostReaders);
        m_trialWindows = 3;
    } else if (blocked < kBlockedToShrink && m_readers > m_cores) {
        m_readers = std::max(m_cores, m_readers / 2);
    }
}
