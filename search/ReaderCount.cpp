#include "search/ReaderCount.h"

#include <algorithm>
#include <thread>

namespace {
using namespace std::chrono_literals;
// Long enough for every reader to finish a unit of a few round trips.
constexpr auto kWindow = 20ms;
// After a doubling that did not pay, the count holds this long.
constexpr auto kHold = 1s;
// Mostly blocked: add readers. Mostly on the processor: fewer.
constexpr double kBlockedToGrow = 0.5;
constexpr double kBlockedToShrink = 0.2;
// A doubling whose calls take this much longer queues rather than overlaps.
constexpr double kSlowerCalls = 1.5;
}  // namespace

ReaderCount::ReaderCount(unsigned cores, Clock::time_point start)
    : m_cores(std::max(2u, cores)), m_readers(m_cores), m_noTrialBefore(start), m_windowStart(start)
{
}

unsigned ReaderCount::Cores()
{
    return std::thread::hardware_concurrency();
}

bool ReaderCount::Record(const Unit& unit, Clock::time_point now, bool workWaiting)
{
    m_window.wall += unit.wall;
    m_window.processor += unit.processor;
    m_window.calls += unit.calls;
    ++m_units;
    if (now - m_windowStart < kWindow || m_units < m_readers || m_window.calls == 0)
        return false;
    const unsigned readers = m_readers;
    Adjust(now, workWaiting);
    m_window = {};
    m_units = 0;
    m_windowStart = now;
    return m_readers != readers;
}

void ReaderCount::Adjust(Clock::time_point now, bool workWaiting)
{
    const double wallNs = static_cast<double>(m_window.wall.count());
    const double callNs = wallNs / m_window.calls;
    const double blocked = wallNs > 0 ? 1.0 - static_cast<double>(m_window.processor.count()) / wallNs : 0.0;
    if (m_onTrial) {
        m_onTrial = false;
        if (callNs > kSlowerCalls * m_callNsBefore) {
            m_readers = m_before;
            m_noTrialBefore = now + kHold;
        }
        return;
    }
    if (blocked > kBlockedToGrow && workWaiting && m_readers < kMostReaders && now >= m_noTrialBefore) {
        m_before = m_readers;
        m_callNsBefore = callNs;
        m_readers = std::min(2 * m_readers, kMostReaders);
        m_onTrial = true;
    } else if (blocked < kBlockedToShrink && m_readers > m_cores) {
        m_readers = std::max(m_cores, m_readers / 2);
    }
}
