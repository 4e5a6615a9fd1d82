// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "levelrunner.h"

#include "world/heightmap.h"
#include "engine/input.h"
#include "world/player.h"
#include "world/roundrules.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace levelrunner {

namespace {

constexpr float stepX = RoundRules::walkDistance(frameMs); // one frame of walking
constexpr float jumpStep = RoundRules::jumpTimeStep(frameMs);
constexpr float pitSampling = 0.05f;                    // world units
constexpr float lookAhead = 120.0f;                     // pits further away do not matter yet
constexpr int planFrames = 90;                          // how far ahead take-offs are tried

} // namespace

void pushKey(Uint8 type, SDLKey sym)
{
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = sym;
    if (SDL_PushEvent(&event) != 0)
        throw std::runtime_error("the SDL event queue is full");
}

void releaseAllKeys()
{
    Input& input = Input::getInstance();
    input.update();
    while (!input.getKeys().empty()) {
        pushKey(SDL_KEYUP, static_cast<SDLKey>(input.getKeys().front().sym));
        input.update();
    }
}

void HeldKeys::set(bool walk, bool jumpNow)
{
    if (walk != right) {
        pushKey(walk ? SDL_KEYDOWN : SDL_KEYUP, SDLK_RIGHT);
        right = walk;
    }
    if (space || jumpNow) {
        pushKey(jumpNow ? SDL_KEYDOWN : SDL_KEYUP, SDLK_SPACE);
        space = jumpNow;
    }
}

std::vector<Pit> findPits(const Heightmap& terrain, float y)
{
    const float maxHeight = terrain.getMaxHeight();
    const float length = terrain.getLengthX();
    std::vector<Pit> pits;
    bool inPit = false;
    // Bounded, so that an absurd terrain length cannot overflow the count.
    const float steps = std::min(length / pitSampling, 1.0e7f);
    const int samples = steps > 0.0f ? static_cast<int>(steps) : 0;
    for (int k = 0; k <= samples; ++k) {
        const float x = static_cast<float>(k) * pitSampling;
        const bool deadly = RoundRules::isLowGround(terrain.heightAt(x, y), maxHeight);
        if (deadly && !inPit)
            pits.push_back({x, x});
        if (deadly)
            pits.back().end = x;
        inPit = deadly;
    }
    return pits;
}

JumpModel::JumpModel(const Heightmap& terrain, float y)
    : terrain(terrain)
    , y(y)
    , maxHeight(terrain.getMaxHeight())
{
}

bool JumpModel::safeWalk(float x, int frames) const
{
    for (int k = 1; k <= frames; ++k)
        if (RoundRules::isLowGround(terrain.heightAt(x + stepX * static_cast<float>(k), y), maxHeight))
            return false;
    return true;
}

bool JumpModel::jumpClears(float x) const
{
    x += stepX;
    const float startZ = terrain.heightAt(x, y);
    if (RoundRules::isLowGround(startZ, maxHeight))
        return false;
    float time = 0.0f;
    for (int k = 1; k < 400; ++k) {
        if (k > 1)
            x += stepX;
        time += jumpStep;
        const float z = RoundRules::jumpHeight(startZ, time);
        const float ground = terrain.heightAt(x, y);
        if (RoundRules::landsOn(z, ground))
            return !RoundRules::isLowGround(ground, maxHeight);
        if (RoundRules::isLowGround(z, maxHeight))
            return false;
    }
    return false;
}

Runner::Runner(const Heightmap& terrain, float y, std::vector<Pit> pits)
    : model(terrain, y)
    , pits(std::move(pits))
{
}

bool Runner::wantsJump(const Player& player)
{
    if (player.isJumping()) {
        takeOffX.reset();
        return false;
    }
    const float x = player.getX();
    const bool pitAhead = std::any_of(pits.begin(), pits.end(),
                                      [x](const Pit& pit) { return pit.end > x && pit.start < x + lookAhead; });
    if (!pitAhead) {
        takeOffX.reset();
        return false;
    }
    plan(x);
    return takeOffX && x + 0.5f * stepX >= *takeOffX;
}

// While the whole stretch still lies ahead, its middle is the target;
// once inside it the target stays, so the jump is neither early nor late.
void Runner::plan(float x)
{
    int first = -1;
    int last = -1;
    for (int k = 0; k < planFrames && model.safeWalk(x, k); ++k) {
        if (model.jumpClears(x + stepX * static_cast<float>(k))) {
            if (first < 0)
                first = k;
            last = k;
        } else if (first >= 0) {
            break;
        }
    }
    if (first > 0 || (first == 0 && !takeOffX))
        takeOffX = x + stepX * 0.5f * static_cast<float>(first + last);
}

} // namespace levelrunner
