#include "search/ReaderCount.h"

#include <gtest/gtest.h>

namespace {
using namespace std::chrono_literals;
using Clock = ReaderCount::Clock;

// Feeds windows of units whose calls take `callTime` each with `readers`
// readers at work, `processor` of it on the processor.
class ReaderCountTest : public testing::Test {
protected:
    // One window of one unit per reader; returns the count after it.
    unsigned Window(std::chrono::nanoseconds callTime, std::chrono::nanoseconds processor, bool workWaiting = true)
    {
        now += 25ms;
        const unsigned readers = count.Readers();
        for (unsigned i = 0; i < readers; ++i)
            count.Record({callTime * 10, processor * 10, 10}, now, workWaiting);
        return count.Readers();
    }

    Clock::time_point now = Clock::now();
    ReaderCount count{2, now};
};

TEST_F(ReaderCountTest, DoublesUpToTheBoundWhileCallsWaitAndOverlap)
{
    // Round trips of 1 ms, 20 us of it on the processor, the same at any count.
    for (const unsigned expected : {4u, 4u, 8u, 8u, 16u, 16u, 32u, 32u, 64u, 64u, 64u})
        EXPECT_EQ(Window(1ms, 20us), expected);
    // Calls served from a cache: back toward the cores.
    for (const unsigned expected : {32u, 16u, 8u, 4u, 2u, 2u})
        EXPECT_EQ(Window(2us, 2us), expected);
}

TEST_F(ReaderCountTest, StaysAtTheCoresWhenCallsAreProcessorWorkOrNothingWaits)
{
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Window(5us, 4us), 2u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Window(1ms, 20us, false), 2u);
}

TEST_F(ReaderCountTest, UndoesADoublingWhoseCallsQueueAndWaitsBeforeTheNextTry)
{
    // Blocked on a server that is busy on the same cores: twice the readers,
    // twice the time per call.
    EXPECT_EQ(Window(100us, 20us), 4u);
    EXPECT_EQ(Window(200us, 20us), 2u);
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(Window(100us, 20us), 2u) << i;
    // Past the hold it tries again.
    for (int i = 0; i < 20 && count.Readers() == 2; ++i)
        Window(100us, 20us);
    EXPECT_EQ(count.Readers(), 4u);
}
}  // namespace
