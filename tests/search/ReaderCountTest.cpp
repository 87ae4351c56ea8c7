#include "search/ReaderCount.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {
using namespace std::chrono_literals;
using Clock = ReaderCount::Clock;

// Feeds windows of 20 ms in which each of the readers at work finishes as
// many units of 10 calls as fit, evenly spread, each call taking `callTime`,
// `processor` of it on the processor, and putting its reader to sleep when
// `sleeps` (else the rest is spent queued for a core).
class ReaderCountTest : public testing::Test {
protected:
    // Returns the count after the window.
    unsigned Window(std::chrono::nanoseconds callTime, std::chrono::nanoseconds processor, bool workWaiting = true,
                    bool sleeps = true)
    {
        constexpr auto kLength = 20ms;
        const Clock::time_point start = now;
        const auto units = std::max<long long>(1, std::llround(kLength / (callTime * 10.0))) * count.Readers();
        for (long long i = 1; i <= units; ++i) {
            now = start + kLength * i / units;
            spent.processor += processor * 10;
            spent.waits += sleeps ? 10 : 0;
            count.Record({callTime * 10, 10}, now, workWaiting);
        }
        return count.Readers();
    }

    Clock::time_point now = Clock::now();
    ReaderCount::Spent spent;
    ReaderCount count{2, 2, now, [this] { return spent; }};
};

TEST_F(ReaderCountTest, DoublesUpToTheBoundWhileCallsWaitAndOverlap)
{
    // Round trips of 1 ms, 20 us of it on the processor, the same at any
    // count. Each doubling is judged on the two windows after the one it began in.
    for (const unsigned expected : {4u, 4u, 4u, 8u, 8u, 8u, 16u, 16u, 16u, 32u, 32u, 32u, 64u, 64u, 64u, 64u})
        EXPECT_EQ(Window(1ms, 20us), expected);
    // Calls served from a cache: back toward the cores.
    for (const unsigned expected : {32u, 16u, 8u, 4u, 2u, 2u})
        EXPECT_EQ(Window(2us, 2us), expected);
}

TEST_F(ReaderCountTest, StaysAtOrFallsBackToTheCoresWhenCallsAreProcessorWorkOrNothingWaits)
{
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Window(5us, 4us), 2u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Window(1ms, 20us, false), 2u);
    // Off the processor but never asleep: queued behind another program.
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Window(1ms, 20us, true, false), 2u);
    // Started for round trips on a share whose calls turn out processor work.
    ReaderCount started(2, ReaderCount::kFirstForRoundTrips, now, [this] { return spent; });
    now += 25ms;
    spent.processor += 25ms * ReaderCount::kFirstForRoundTrips;
    for (unsigned i = 0; i < ReaderCount::kFirstForRoundTrips; ++i)
        started.Record({25ms, 10}, now, true);
    EXPECT_EQ(started.Readers(), ReaderCount::kFirstForRoundTrips / 2);
}

TEST_F(ReaderCountTest, KeepsADoublingOnlyWhenMoreCallsAreAnsweredAndWaitsAfterOneThatWasNot)
{
    // A server short of processor: twice the readers, each call 1.6 times
    // as long, nearly a third more calls answered. Kept.
    EXPECT_EQ(Window(100us, 20us), 4u);
    for (const unsigned expected : {4u, 4u, 8u})
        EXPECT_EQ(Window(160us, 20us), expected);
    // Busy on the same cores: twice the readers, twice the time per call,
    // no more calls answered. Undone.
    for (const unsigned expected : {8u, 8u, 4u})
        EXPECT_EQ(Window(320us, 20us), expected);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(Window(160us, 20us), 4u) << i;
    // Past the hold it tries again.
    for (int i = 0; i < 40 && count.Readers() == 4; ++i)
        Window(160us, 20us);
    EXPECT_EQ(count.Readers(), 8u);
}
}  // namespace
