// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "world/gamestate.h"

// The rules of a round that decide where the player can go and what a run
// wins: the walk, the jump arc, the landing, low ground and the medal marks.
// The player and the round follow them, and the level checker's planner
// replays them to find its take-off points, so a change here changes both.
namespace RoundRules {

constexpr float walkingSpeed = 0.08f;     // world units per millisecond
constexpr float initialJumpSpeed = 9.5f;  // units per tenth of a second
constexpr float jumpGravity = 2.0f;
constexpr float jumpClockRate = 0.01f;    // jump time (tenths of a second) per millisecond

// How far a walk of frameMs milliseconds goes.
constexpr float walkDistance(float frameMs)
{
    return walkingSpeed * frameMs;
}

// How much jump time (tenths of a second) frameMs milliseconds add.
constexpr float jumpTimeStep(float frameMs)
{
    return frameMs * jumpClockRate;
}

// The height on the arc of a jump that started at startZ, time tenths of a
// second ago: startZ + speed t - gravity t^2 / 2.
constexpr float jumpHeight(float startZ, float time, float speed = initialJumpSpeed, float gravity = jumpGravity)
{
    return startZ + time * speed - time * (time * (gravity * 0.5f));
}

// A jump ends where the player has come below the ground, rising or falling.
constexpr bool landsOn(float z, float ground)
{
    return z < ground;
}

// Ground at or below half the terrain's highest point ends the round.
constexpr float lowGround(float maxHeight)
{
    return 0.5f * maxHeight;
}

constexpr bool isLowGround(float z, float maxHeight)
{
    return z <= lowGround(maxHeight);
}

// The far end, tested in single precision.
constexpr bool reachesFarEnd(float x, float length)
{
    return x >= length / 1.01f;
}

// The medal for a round that ended at x on a terrain of that length: bronze
// from half the length, silver from length / 1.333, gold from length / 1.01.
// The gold test divides in double; for some lengths the single-precision far
// end lies a hair below it, so reaching the far end counts as gold on its own.
constexpr GAME_STATE medalAt(float x, float length, bool farEndReached)
{
    GAME_STATE medal = GAME_STATE::LOST;
    if (x >= 0.5f * length)
        medal = GAME_STATE::BRONZE;
    if (x >= length / 1.333f)
        medal = GAME_STATE::SILVER;
    if (static_cast<double>(x) >= static_cast<double>(length) / 1.01 || farEndReached)
        medal = GAME_STATE::GOLD;
    return medal;
}

} // namespace RoundRules
