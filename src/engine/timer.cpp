// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/timer.h"

#include <SDL/SDL.h>

namespace {
constexpr uint32_t measuringWindowMs = 1000;
}

void Timer::setTickSource(TickSource source)
{
    tickSource = std::move(source);
}

uint32_t Timer::readTicks() const
{
    return tickSource ? tickSource() : SDL_GetTicks();
}

void Timer::start()
{
    windowStart = readTicks();
    lastTicks = readTicks();
    delta = 0;
}

bool Timer::update()
{
    delta = readTicks() - lastTicks;
    const uint32_t now = readTicks();
    lastTicks = now;
    ++frameCount;
    if (now - windowStart > measuringWindowMs) {
        fps = frameCount;
        frameCount = 0;
        windowStart = now;
    }
    return false;
}

void Timer::restartFrame()
{
    lastTicks = readTicks();
}

void Timer::stop() {}

uint32_t Timer::getFps() const
{
    return fps;
}

uint32_t Timer::getDelta() const
{
    return delta;
}
