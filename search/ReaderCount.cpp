#include "search/ReaderCount.h"

#include <algorithm>
#include <thread>
#include <utility>

#include <sys/resource.h>

namespace {
using namespace std::chrono_literals;
// Long enough for every reader to finish a unit of a few round trips.
constexpr auto kWindow = 20ms;
// After a doubling that did not pay, the count holds this long.
constexpr auto kHold = 500ms;
// Mostly blocked: add readers. Mostly on the processor: fewer.
constexpr double kBlockedToGrow = 0.5;
constexpr double kBlockedToShrink = 0.2;
// Reading that waits puts a reader to sleep at least once per unit: a
// folder's opening and listing, a status. Readers of cached folders that
// are merely short of a core (another program busy) sleep far less often.
constexpr double kWaitsPerUnit = 1.0;
// A doubling that answers fewer more calls per second than this queues
// rather than overlaps: the calls wait for a core or a busy server.
constexpr double kGainToKeep = 1.15;
}  // namespace

ReaderCount::ReaderCount(unsigned cores, unsigned first, Clock::time_point start, SpentClock spent)
    : m_spent(std::move(spent)), m_cores(std::max(2u, cores)), m_readers(std::clamp(first, m_cores, kMostReaders)),
      m_noTrialBefore(start), m_windowStart(start), m_spentAtStart(m_spent())
{
}

unsigned ReaderCount::Cores()
{
    return std::thread::hardware_concurrency();
}

ReaderCount::Spent ReaderCount::ProcessSpent()
{
    // A system call, unlike the wall clock: read once per window, not per unit.
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto time = [](const timeval& value) {
        return std::chrono::seconds(value.tv_sec) + std::chrono::microseconds(value.tv_usec);
    };
    return {time(usage.ru_utime) + time(usage.ru_stime), usage.ru_nvcsw};
}

bool ReaderCount::Record(const Unit& unit, Clock::time_point now, bool workWaiting)
{
    m_window.wall += unit.wall;
    m_window.calls += unit.calls;
    ++m_units;
    if (now - m_windowStart < kWindow || m_units < m_readers || m_window.calls == 0)
        return false;
    // How much of the readers' time in reading was off the processor, and
    // whether they slept in their calls about once a unit or more. The
    // window thread's work and sleeps count as the readers': the former errs
    // toward fewer readers, the latter is left to the trial of a doubling.
    const Spent spent = m_spent();
    const double wallNs = static_cast<double>(m_window.wall.count());
    const double offProcessor =
        wallNs > 0 ? 1.0 - static_cast<double>((spent.processor - m_spentAtStart.processor).count()) / wallNs : 0.0;
    const bool waits = static_cast<double>(spent.waits - m_spentAtStart.waits) >= kWaitsPerUnit * m_units;
    const double seconds = std::chrono::duration<double>(now - m_windowStart).count();
    const double rate = (m_callsBefore + m_window.calls) / (m_secondsBefore + seconds);
    const unsigned readers = m_readers;
    Adjust(now, offProcessor, waits, rate, workWaiting);
    m_callsBefore = m_window.calls;
    m_secondsBefore = seconds;
    m_window = {};
    m_units = 0;
    m_windowStart = now;
    m_spentAtStart = spent;
    return m_readers != readers;
}

void ReaderCount::Adjust(Clock::time_point now, double offProcessor, bool waits, double rate, bool workWaiting)
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
    if (offProcessor > kBlockedToGrow && waits && workWaiting && m_readers < kMostReaders && now >= m_noTrialBefore) {
        m_before = m_readers;
        m_rateBefore = rate;
        m_readers = std::min(2 * m_readers, kMostReaders);
        m_trialWindows = 3;
    } else if ((offProcessor < kBlockedToShrink || !waits) && m_readers > m_cores) {
        m_readers = std::max(m_cores, m_readers / 2);
    }
}
