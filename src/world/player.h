// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "resources/resourcemanager.h"
#include "world/roundrules.h"

#include <cstdint>
#include <limits>

class MeshZMS;
class Sound;

// The character the user steers. It walks along x at a fixed speed and jumps
// on a fixed arc, but knows nothing of the terrain: the round snaps it onto
// the ground after a walk and decides when a jump has landed.
//
// All motion is scaled by the timer's frame time. The walking sound runs on
// the mixer's reserved channel while the player keeps moving; a frame without
// a move stops it, so the next move starts it afresh.
class Player {
public:
    static constexpr float walkingSpeed = RoundRules::walkingSpeed;
    static constexpr float initialJumpSpeed = RoundRules::initialJumpSpeed;
    static constexpr float jumpGravity = RoundRules::jumpGravity;
    static constexpr float jumpClockRate = RoundRules::jumpClockRate;
    static constexpr int walkingChannel = 15;

    static constexpr const char* meshFile = "resources/meshes/player.zms";
    static constexpr const char* jumpSoundFile = "resources/sounds/player_jump.wav";
    static constexpr const char* landSoundFile = "resources/sounds/player_land2.wav";
    static constexpr const char* walkSoundFile = "resources/sounds/player_walk.wav";

    Player() = default;
    // Gives back whatever releaseResources() has not.
    virtual ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // One hold each on the mesh and the jump, land and walk sounds.
    virtual void loadResources();
    // Gives each hold back once; a second call changes nothing.
    virtual void releaseResources();

    // Once per frame after the moves: advances a jump along
    // z = jumpStartZ + 9.5 t - t^2 (t in tenths of a second) and stops the
    // walking sound when no move ran since the previous update.
    virtual void update();
    // Starts a jump from the current z unless one is in progress.
    virtual void jump();
    // Ends the jump; the caller puts z onto the ground.
    virtual void land();
    // The mesh at the position, never turned, blended.
    virtual void draw() const;
    // Walk for this frame's time. Right starts the walking sound for two
    // plays, left lets it loop until a still frame halts it; neither starts
    // it during a jump or while it already runs.
    virtual void moveLeft();
    virtual void moveRight();
    virtual bool isJumping() const;
    // The current jump has passed its top.
    virtual bool isFalling() const;

    float getX() const { return x; }
    float getY() const { return y; }
    float getZ() const { return z; }
    void setPosition(float newX, float newY, float newZ);
    void setZ(float newZ) { z = newZ; }
    bool isWalking() const { return walking; }

private:
    void startWalking(int loops);
    static void play(const Sound* sound, int channel, int loops);

    static constexpr float unset = std::numeric_limits<float>::quiet_NaN();

    float x = unset;
    float y = unset;
    float z = unset;
    int32_t jumping = 0;
    int32_t falling = 0;
    float jumpStartZ = unset;
    float previousZ = unset;
    float jumpSpeed = unset;
    float jumpTime = unset; // tenths of a second
    float gravity = unset;
    bool walking = false;
    bool movedThisFrame = false;
    Held<MeshZMS> mesh;
    Held<Sound> jumpSound;
    Held<Sound> landSound;
    Held<Sound> walkSound;
};
