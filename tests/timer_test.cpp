// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/timer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// The timer on a clock that answers scripted readings in turn: start reads it
// twice (window start, last ticks), each update twice more, restartFrame once.
// After each step the delta and the frames per second are as the row says.
TEST(Timer, DeltasRunFromThePreviousFramesEndAndTheFpsCountWholeWindows)
{
    struct Step {
        bool restart; // restartFrame instead of update
        uint32_t delta, fps;
    };
    const struct { const char* what; std::vector<uint32_t> readings; std::vector<Step> steps; } cases[] = {
        {"across the counter's wrap", {0xFFFFFF00u, 0xFFFFFFF0u, 0x10u, 0x15u, 0x25u, 0x26u},
         {{false, 0x20, 0}, {false, 0x10, 0}}},
        // 1000 ms keep the window open; the next begins at 1001.
        {"fps from a window of more than 1000 ms", {0, 0, 400, 400, 1000, 1000, 1001, 1001, 1500, 1500, 2002, 2002},
         {{false, 400, 0}, {false, 600, 0}, {false, 1, 3}, {false, 499, 3}, {false, 502, 2}}},
        // The frame already measured keeps its delta, the time before the
        // restart does not count; had the restart opened a new window, it would
        // still be open at 1100; had it counted as a frame, the count would be 4.
        {"a restarted frame", {0, 0, 400, 400, 900, 916, 916, 1100, 1100},
         {{false, 400, 0}, {true, 400, 0}, {false, 16, 0}, {false, 184, 3}}},
    };
    for (const auto& [what, readings, steps] : cases) {
        SCOPED_TRACE(what);
        std::size_t taken = 0;
        Timer& timer = Timer::getInstance();
        timer.setTickSource([&taken, &readings = readings] {
            EXPECT_LT(taken, readings.size()) << "the timer read the clock more often than scripted";
            return readings[std::min(taken++, readings.size() - 1)];
        });
        timer.start();
        EXPECT_EQ(0u, timer.getDelta());
        for (std::size_t i = 0; i < steps.size(); ++i) {
            steps[i].restart ? timer.restartFrame() : static_cast<void>(timer.update());
            EXPECT_EQ(steps[i].delta, timer.getDelta()) << "step " << i;
            EXPECT_EQ(steps[i].fps, timer.getFps()) << "step " << i;
        }
        EXPECT_EQ(readings.size(), taken);
        SingletonSlot<Timer>::destroy();
    }
}

} // namespace
