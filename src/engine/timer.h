// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/singleton.h"
#include "engine/task.h"

#include <cstdint>
#include <functional>

// Measures the time between frames (the time base of all motion) and the
// frames per second. The last engine task of every frame.
class Timer : public Task {
public:
    // Milliseconds since some fixed moment; SDL_GetTicks unless replaced.
    using TickSource = std::function<uint32_t()>;

    static Timer& getInstance() { return SingletonSlot<Timer>::get(); }

    void start() override;
    bool update() override;
    void stop() override;
    // Frames counted in the last completed measuring window of over 1000 ms.
    virtual uint32_t getFps() const;
    // Milliseconds between the previous frame's end and this frame's end.
    virtual uint32_t getDelta() const;
    // Starts the current frame's measurement now, so that time spent loading
    // since the previous frame's end is not counted as one long frame. The
    // frames-per-second count is left alone.
    void restartFrame();

    // Replaces the clock, so that tests control time; an empty source
    // restores SDL_GetTicks.
    void setTickSource(TickSource source);

private:
    friend class SingletonSlot<Timer>;
    Timer() = default;
    uint32_t readTicks() const;

    uint32_t fps = 0;
    uint32_t delta = 0;
    uint32_t frameCount = 0;
    uint32_t windowStart = 0;
    uint32_t lastTicks = 0;
    TickSource tickSource;
};
