// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "world/player.h"

#include "resources/meshzms.h"
#include "resources/resourcemanager.h"
#include "resources/sound.h"
#include "engine/timer.h"

#include <GL/gl.h>
#include <SDL/SDL_mixer.h>

namespace {

constexpr int anyFreeChannel = -1;
constexpr int playOnce = 0;
constexpr int playTwice = 1;
constexpr int loopForever = -1;

float frameMilliseconds()
{
    return static_cast<float>(Timer::getInstance().getDelta());
}

} // namespace

Player::~Player()
{
    releaseResources();
}

void Player::loadResources()
{
    mesh = Held<MeshZMS>(meshFile);
    jumpSound = Held<Sound>(jumpSoundFile);
    landSound = Held<Sound>(landSoundFile);
    walkSound = Held<Sound>(walkSoundFile);
}

void Player::releaseResources()
{
    mesh.reset();
    walkSound.reset();
    landSound.reset();
    jumpSound.reset();
}

void Player::setPosition(float newX, float newY, float newZ)
{
    x = newX;
    y = newY;
    z = newZ;
}

// A chunk the mixer cannot play (no free channel, no sound) is skipped: a
// missing effect must never stop the round.
void Player::play(const Sound* sound, int channel, int loops)
{
    if (sound && sound->getChunk())
        Mix_PlayChannelTimed(channel, sound->getChunk(), loops, -1);
}

void Player::startWalking(int loops)
{
    if (!walking && jumping == 0)
        play(walkSound.get(), walkingChannel, loops);
    movedThisFrame = true;
    walking = true;
}

void Player::moveRight()
{
    startWalking(playTwice);
    x += RoundRules::walkDistance(frameMilliseconds());
}

void Player::moveLeft()
{
    startWalking(loopForever);
    x -= RoundRules::walkDistance(frameMilliseconds());
}

void Player::jump()
{
    if (jumping != 0)
        return;
    play(jumpSound.get(), anyFreeChannel, playOnce);
    Mix_HaltChannel(walkingChannel);
    jumpSpeed = initialJumpSpeed;
    jumping = 1;
    previousZ = z;
    walking = false;
    jumpTime = 0.0f;
    gravity = jumpGravity;
    jumpStartZ = z;
}

void Player::update()
{
    if (jumping != 0) {
        jumpTime += RoundRules::jumpTimeStep(frameMilliseconds());
        z = RoundRules::jumpHeight(jumpStartZ, jumpTime, jumpSpeed, gravity);
        if (z < previousZ)
            falling = 1;
        previousZ = z;
    }
    if (movedThisFrame) {
        movedThisFrame = false;
    } else {
        Mix_HaltChannel(walkingChannel);
        walking = false;
    }
}

void Player::land()
{
    play(landSound.get(), anyFreeChannel, playOnce);
    falling = 0;
    walking = false;
    jumping = 0;
}

void Player::draw() const
{
    if (!mesh)
        return;
    glPushMatrix();
    glTranslatef(x, y, z);
    glEnable(GL_BLEND);
    mesh->draw();
    glDisable(GL_BLEND);
    glPopMatrix();
}

bool Player::isJumping() const
{
    return jumping != 0;
}

bool Player::isFalling() const
{
    return falling != 0;
}
