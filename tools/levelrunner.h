// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Developer tools only: the scripted runner that plays a level through the
// real round. The tools feed it the player's position each frame and press
// the keys it asks for with SDL key events, while the round's timer ticks
// exactly frameMs a frame.

#include <SDL/SDL.h>

#include <cstdint>
#include <optional>
#include <vector>

class Heightmap;
class Player;

namespace levelrunner {

constexpr uint32_t frameMs = 16;

// Puts a key press or release on SDL's event queue, as a keyboard would.
// Throws std::runtime_error when the queue is full.
void pushKey(Uint8 type, SDLKey sym);
// Releases every key the input task holds, so a round starts with none.
void releaseAllKeys();

// The right arrow and the space bar of a scripted player: pressed and
// released through SDL events only when their wanted state changes.
class HeldKeys {
public:
    // Holds or releases the right arrow; presses space when jumpNow, and a
    // space pressed in the frame before is released.
    void set(bool walk, bool jumpNow);
    bool spaceHeld() const { return space; }

private:
    bool right = false;
    bool space = false;
};

struct Pit {
    float start;
    float end;
};

// Stretches of the walking line where the ground is low enough to end the round.
std::vector<Pit> findPits(const Heightmap& terrain, float y);

// The round's own rules for a jump taken in the next frame from x, replayed
// on the terrain: walking right all the way, landing where the arc comes
// below the ground, ending where the player gets on or above low ground.
class JumpModel {
public:
    JumpModel(const Heightmap& terrain, float y);

    bool safeWalk(float x, int frames) const;
    bool jumpClears(float x) const;

private:
    const Heightmap& terrain;
    float y;
    float maxHeight;
};

// Decides the jumps: before a pit it finds the stretch of take-off points
// from which a jump clears it and jumps from the middle of that stretch.
class Runner {
public:
    Runner(const Heightmap& terrain, float y, std::vector<Pit> pits);

    bool wantsJump(const Player& player);

private:
    void plan(float x);

    JumpModel model;
    std::vector<Pit> pits;
    std::optional<float> takeOffX;
};

} // namespace levelrunner
