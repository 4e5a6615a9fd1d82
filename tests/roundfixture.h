// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engineenvironment.h"
#include "tempdir.h"

#include <cstdint>
#include <functional>
#include <string>

// Red (height) and green (decoration) of the height-image pixel at column i, row j.
struct HeightPixel {
    uint8_t red;
    uint8_t green = 0;
};

// A working directory holding everything a round loads, all small and made
// here: sounds, the player and default meshes, pictures, the terrain shaders.
// Terrains and levels are added per test. Frames run the real engine with a
// timer that advances exactly as the test says.
class RoundFixture {
public:
    RoundFixture();
    ~RoundFixture();

    // A height image of width x height pixels and its description file with
    // heightScale 0.1 (maximum height 25.5, low ground at 12.75 or below).
    void writeTerrain(const std::string& description, int width, int height, float scaleX, float scaleY,
                      const std::function<HeightPixel(int, int)>& pixel) const;
    // A level file naming the description, the background "resources/textures/bg.png" and the speed text.
    void writeLevel(const std::string& levelFile, const std::string& description, const std::string& speed) const;

    // Lets the engine run one frame (events, buffer swap, timer) that took ms.
    void frame(uint32_t ms);
    // Moves the clock on without a frame.
    void wait(uint32_t ms) { now += ms; }

    const ScopedWorkDir& dir() const { return workDir; }

private:
    ScopedWorkDir workDir;
    uint32_t now = 0;
};
