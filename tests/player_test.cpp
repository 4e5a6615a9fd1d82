// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "resources/meshzms.h"
#include "world/player.h"
#include "resources/resourcemanager.h"
#include "resources/sound.h"

#include "roundfixture.h"

#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

namespace {

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Mix_HaltChannel(-1);
        player.loadResources();
        player.setPosition(10.0f, 33.0f, 5.0f);
    }
    void TearDown() override
    {
        Mix_HaltChannel(-1);
    }

    // Mix_Playing between two mixer runs: during one, a looping channel reads as silent for a moment.
    static bool playing()
    {
        SDL_LockAudio();
        const bool on = Mix_Playing(Player::walkingChannel) != 0;
        SDL_UnlockAudio();
        return on;
    }

    // Waits, as long as a generous limit allows, for the condition.
    static bool eventually(const std::function<bool()>& condition)
    {
        for (int tries = 0; tries < 400 && !condition(); ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return condition();
    }

    RoundFixture round;
    Player player;
};

// Last, releasing twice gives each hold back once.
TEST_F(PlayerTest, JumpFollowsItsArcAndIgnoresASecondJumpAndReleaseGivesEachHoldBackOnce)
{
    round.frame(100);
    player.jump();
    ASSERT_TRUE(player.isJumping());
    player.update();
    EXPECT_FLOAT_EQ(13.5f, player.getZ()); // 5 + 9.5 - 1 after one tenth of a second
    EXPECT_FALSE(player.isFalling());

    const int playingBefore = Mix_Playing(-1);
    player.jump();
    EXPECT_EQ(playingBefore, Mix_Playing(-1)); // no second jump sound
    player.update();
    EXPECT_FLOAT_EQ(20.0f, player.getZ()); // still the first arc: 5 + 19 - 4

    round.frame(300);
    player.update(); // t = 5: past the top at 4.75 but higher than the step before
    EXPECT_FLOAT_EQ(27.5f, player.getZ());
    EXPECT_FALSE(player.isFalling());
    player.update(); // t = 8
    EXPECT_FLOAT_EQ(17.0f, player.getZ());
    EXPECT_TRUE(player.isFalling());
    player.land();
    EXPECT_FALSE(player.isJumping() || player.isFalling());

    ResourceManager& manager = ResourceManager::getInstance();
    // A hold of the test's own on each: giving one back twice would take it.
    const std::vector<Resource*> mine = {
        manager.getResource<MeshZMS>(Player::meshFile), manager.getResource<Sound>(Player::jumpSoundFile),
        manager.getResource<Sound>(Player::landSoundFile), manager.getResource<Sound>(Player::walkSoundFile)};
    const std::size_t held = manager.getResourceCount();
    player.releaseResources();
    player.releaseResources();
    ASSERT_EQ(held, manager.getResourceCount()) << "a hold was given back twice";
    for (Resource* resource : mine) {
        EXPECT_EQ(1, resource->getRefCount()) << resource->getName();
        manager.releaseResource(resource);
    }
    EXPECT_EQ(held - 4, manager.getResourceCount());
}

// Right plays the sound twice and ends, left keeps looping. A still frame
// stops the sound and the next move restarts it.
TEST_F(PlayerTest, WalkingRightPlaysTheSoundTwiceWalkingLeftLoopsItAndAStillFrameStopsIt)
{
    const auto once = std::chrono::milliseconds(Held<Sound>(Player::walkSoundFile)->getChunk()->alen /
                                                (44100 * 4 / 1000)); // 16-bit stereo

    round.frame(16);
    player.moveRight();
    player.moveRight(); // already walking: not restarted
    EXPECT_TRUE(player.isWalking());
    std::this_thread::sleep_for(once);
    EXPECT_TRUE(playing()) << "played only once";
    EXPECT_TRUE(eventually([] { return !playing(); }));

    player.update();
    player.update(); // stands still once
    player.moveLeft();
    std::this_thread::sleep_for(3 * once);
    EXPECT_TRUE(playing());

    round.frame(16);
    player.moveRight();
    EXPECT_TRUE(playing());
    player.update(); // moved this frame: the sound goes on
    EXPECT_TRUE(player.isWalking());
    player.update(); // a frame without a move
    EXPECT_FALSE(player.isWalking() || playing());
    player.moveLeft();
    EXPECT_TRUE(playing());

    player.jump(); // a jump silences the walk, and walking in the air stays silent
    EXPECT_FALSE(playing());
    player.moveRight();
    EXPECT_FALSE(playing());
}

} // namespace
