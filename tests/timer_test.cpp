#include "timer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A clock that answers a scripted series of tick readings.
class ScriptedClock {
public:
    explicit ScriptedClock(std::vector<uint32_t> readings) : readings(std::move(readings)) {}
    uint32_t operator()()
    {
        EXPECT_LT(next, readings.size()) << "the timer read the clock more often than scripted";
        return next < readings.size() ? readings[next++] : readings.back();
    }
    std::size_t readingsTaken() const { return next; }

private:
    std::vector<uint32_t> readings;
    std::size_t next = 0;
};

class TimerTest : public ::testing::Test {
protected:
    void TearDown() override { SingletonSlot<Timer>::destroy(); }

    Timer& startWith(std::vector<uint32_t> readings)
    {
        clock = std::make_shared<ScriptedClock>(std::move(readings));
        Timer& timer = Timer::getInstance();
        timer.setTickSource([c = clock] { return (*c)(); });
        timer.start();
        return timer;
    }

    std::shared_ptr<ScriptedClock> clock;
};

TEST_F(TimerTest, FirstDeltaCoversEverythingSinceStart)
{
    // start reads twice (window start, last ticks); each update reads twice.
    Timer& timer = startWith({100, 105, 2105, 2110, 2126, 2127});
    EXPECT_EQ(0u, timer.getDelta());
    timer.update();
    EXPECT_EQ(2000u, timer.getDelta()); // first reading minus start's second reading
    timer.update();
    EXPECT_EQ(16u, timer.getDelta()); // measured from the previous update's second reading
    EXPECT_EQ(6u, clock->readingsTaken());
}

TEST_F(TimerTest, FpsStaysZeroUntilAWindowOfMoreThan1000MsCloses)
{
    Timer& timer = startWith({0, 0, 400, 400, 1000, 1000, 1001, 1001, 1500, 1500, 2002, 2002});
    timer.update();
    EXPECT_EQ(0u, timer.getFps());
    timer.update(); // exactly 1000 ms: the window stays open
    EXPECT_EQ(0u, timer.getFps());
    timer.update(); // 1001 ms: three frames counted
    EXPECT_EQ(3u, timer.getFps());
    timer.update();
    EXPECT_EQ(3u, timer.getFps());
    timer.update(); // the new window began at 1001
    EXPECT_EQ(2u, timer.getFps());
}

TEST_F(TimerTest, DeltaIsRightAcrossTheTickCounterWrap)
{
    Timer& timer = startWith({0xFFFFFFF0u, 0xFFFFFFF0u, 0x10u, 0x10u});
    timer.update();
    EXPECT_EQ(0x20u, timer.getDelta());
    EXPECT_EQ(0u, timer.getFps());
}

TEST_F(TimerTest, WithoutASourceItFollowsSdlTicks)
{
    Timer& timer = Timer::getInstance();
    timer.start();
    timer.update();
    EXPECT_LT(timer.getDelta(), 1000u);
}

} // namespace
