#include "player.h"
#include "resourcemanager.h"

#include "roundfixture.h"

#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>

#include <chrono>
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
    void TearDown() override { Mix_HaltChannel(-1); }

    // Waits, as long as a generous limit allows, for the channel to fall silent.
    static bool fallsSilent(int channel)
    {
        for (int tries = 0; tries < 100 && Mix_Playing(channel); ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return Mix_Playing(channel) == 0;
    }

    RoundFixture round;
    Player player;
};

TEST_F(PlayerTest, JumpFollowsItsArcAndIgnoresASecondJump)
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
    EXPECT_FALSE(player.isJumping());
    EXPECT_FALSE(player.isFalling());
}

TEST_F(PlayerTest, AStillFrameStopsTheWalkingSoundAndTheNextMoveRestartsIt)
{
    round.frame(16);
    player.moveRight();
    EXPECT_TRUE(Mix_Playing(Player::walkingChannel));
    player.update(); // moved this frame: the sound goes on
    EXPECT_TRUE(player.isWalking());
    player.update(); // a frame without a move
    EXPECT_FALSE(player.isWalking());
    EXPECT_FALSE(Mix_Playing(Player::walkingChannel));
    player.moveLeft();
    EXPECT_TRUE(Mix_Playing(Player::walkingChannel));

    player.jump(); // a jump silences the walk, and walking in the air stays silent
    EXPECT_FALSE(Mix_Playing(Player::walkingChannel));
    player.moveRight();
    EXPECT_FALSE(Mix_Playing(Player::walkingChannel));
}

TEST_F(PlayerTest, WalkingRightPlaysTheSoundTwiceWalkingLeftLoopsIt)
{
    round.frame(16);
    player.moveRight();
    player.moveRight(); // already walking: not restarted
    EXPECT_TRUE(fallsSilent(Player::walkingChannel)); // two plays of 20 ms, then silence
    EXPECT_TRUE(player.isWalking());

    player.update();
    player.update(); // stands still once
    player.moveLeft();
    EXPECT_FALSE(fallsSilent(Player::walkingChannel));
}

TEST_F(PlayerTest, ReleaseGivesEachHoldBackOnce)
{
    ResourceManager& manager = ResourceManager::getInstance();
    const std::size_t held = manager.getResourceCount();
    ASSERT_GE(held, 4u);
    player.releaseResources();
    player.releaseResources();
    EXPECT_EQ(held - 4, manager.getResourceCount());
}

} // namespace
