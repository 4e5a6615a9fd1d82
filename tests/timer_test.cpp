#include "timer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

class TimerTest : public ::testing::Test {
protected:
    void TearDown() override { SingletonSlot<Timer>::destroy(); }

    // Starts the timer on a clock that answers these readings in turn. start
    // reads it twice (window start, last ticks), each update twice more.
    Timer& startWith(std::vector<uint32_t> readings)
    {
        Timer& timer = Timer::getInstance();
        timer.setTickSource([this, readings = std::move(readings)] {
            EXPECT_LT(taken, readings.size()) << "the timer read the clock more often than scripted";
            return readings[std::min(taken++, readings.size() - 1)];
        });
        timer.start();
        return timer;
    }

    std::size_t taken = 0;
};

TEST_F(TimerTest, DeltaRunsFromThePreviousFramesEndAcrossTheCounterWrap)
{
    Timer& timer = startWith({0xFFFFFF00u, 0xFFFFFFF0u, 0x10u, 0x15u, 0x25u, 0x26u});
    EXPECT_EQ(0u, timer.getDelta());
    timer.update();
    EXPECT_EQ(0x20u, timer.getDelta()); // from start's second reading
    timer.update();
    EXPECT_EQ(0x10u, timer.getDelta()); // from the previous update's second reading
    EXPECT_EQ(0u, timer.getFps());
    EXPECT_EQ(6u, taken);
}

TEST_F(TimerTest, FpsStaysZeroUntilAWindowOfMoreThan1000MsCloses)
{
    Timer& timer = startWith({0, 0, 400, 400, 1000, 1000, 1001, 1001, 1500, 1500, 2002, 2002});
    for (const uint32_t fps : {0u, 0u, 3u, 3u, 2u}) { // 1000 ms keep the window open; the next begins at 1001
        timer.update();
        EXPECT_EQ(fps, timer.getFps());
    }
}

TEST_F(TimerTest, RestartFrameDropsTheTimeSinceThePreviousFrameButKeepsTheFpsWindow)
{
    // start, update at 400, restart at 900, updates at 916 and 1100.
    Timer& timer = startWith({0, 0, 400, 400, 900, 916, 916, 1100, 1100});
    timer.update();
    timer.restartFrame();
    EXPECT_EQ(400u, timer.getDelta()) << "the frame already measured keeps its delta";
    timer.update();
    EXPECT_EQ(16u, timer.getDelta()) << "the time before the restart does not count";
    timer.update();
    EXPECT_EQ(184u, timer.getDelta());
    // Had the restart opened a new window, it would still be open at 1100;
    // had it counted as a frame, the count would be 4.
    EXPECT_EQ(3u, timer.getFps());
}

} // namespace
