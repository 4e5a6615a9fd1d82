// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// A round on small terrains made by the test, with the real engine and a
// clock the test advances: the player's jump arc and sounds, and the round's
// scrolling, medals, pits, landing, keys and drawing.

#include "resources/meshzms.h"
#include "resources/resourcemanager.h"
#include "resources/sound.h"
#include "world/camera.h"
#include "world/game.h"
#include "world/heightmap.h"
#include "world/player.h"

#include "engineenvironment.h"
#include "glcapture.h"
#include "roundfixture.h"

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <SDL/SDL_mixer.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

// Readable states in failure messages.
void PrintTo(GAME_STATE state, std::ostream* out)
{
    *out << gameStateName(state);
}

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

    RoundFixture round;
    Player player;
};

// The arc itself decides every jump the rounds make: the application's
// session clears Level 3's pits with it.
TEST_F(PlayerTest, AJumpIgnoresASecondJumpUntilItLands)
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

    player.land();
    EXPECT_FALSE(player.isJumping() || player.isFalling());
}

// A still frame stops the walking sound and the next move restarts it; a
// jump silences it.
TEST_F(PlayerTest, AStillFrameOrAJumpStopsTheWalkingSound)
{
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

constexpr uint8_t ground = 200; // z 20 with heightScale 0.1
constexpr uint8_t plateau = 230;
constexpr uint8_t pit = 100; // below half the maximum height of 25.5

class GameTest : public ::testing::Test {
protected:
    // A terrain `columns` x 2 points, scaleX 10 and scaleY 33 (66 deep), flat
    // at `ground` except where `height` says otherwise for a column.
    void startLevel(int columns, const std::string& speed, const std::function<uint8_t(int)>& height = nullptr)
    {
        round.writeTerrain("resources/heightmaps/t.txt", columns, 2, 10.0f, 33.0f, [&](int i, int) {
            return HeightPixel{height ? height(i) : ground};
        });
        round.writeLevel("resources/lvls/t.txt", "resources/heightmaps/t.txt", speed);
        game.start("resources/lvls/t.txt");
    }

    // Places the player (on the level ground) and the view centre.
    void stage(float playerX, float viewCentre)
    {
        Player& player = *game.getPlayer();
        player.setPosition(playerX, player.getY(), player.getZ());
        game.getCamera()->setX(-viewCentre);
    }

    GAME_STATE frame(uint32_t ms = 16)
    {
        round.frame(ms);
        return game.update();
    }

    RoundFixture round;
    Game game;
};

// A missing level file is refused by name (damaged ones, and the holds every
// start and stop leave, are in the robustness tests); a good one places the
// player on the ground.
TEST_F(GameTest, AMissingLevelIsRefusedByNameAndStartPlacesThePlayerOnTheGround)
{
    EXPECT_EQ("Cannot open or create file 'resources/lvls/none.txt'",
              thrownMessage([] { Game().start("resources/lvls/none.txt"); }));
    startLevel(100, "0.5", [](int i) { return i == 4 ? plateau : ground; });
    EXPECT_EQ("resources/textures/bg.png", game.getBackgroundName());
    const Player& player = *game.getPlayer();
    EXPECT_EQ(45.0f, player.getX());
    EXPECT_EQ(33.0f, player.getY()); // the middle of a 66 deep terrain
    EXPECT_FLOAT_EQ(21.5f, player.getZ()); // half-way between 20 and 23 at x 45
    frame();
    game.stop();
    EXPECT_EQ(GAME_STATE::RUNNING, game.update()); // a stopped round does nothing
}

TEST_F(GameTest, ScrollsFasterEachFrameByTheBaseSpeedAndStopsEightyBeforeTheEnd)
{
    // Each frame moves by the speed before it, which then grows by 20 ms x 0.5 x 0.002.
    startLevel(100, "0.5");
    for (const auto& [x, speed] : {std::pair{-66.0f, 0.52f}, {-67.04f, 0.54f}, {-68.12f, 0.56f}}) {
        frame(20);
        EXPECT_NEAR(x, game.getCamera()->getX(), 1e-4f);
        EXPECT_NEAR(speed, game.getScrollSpeed(), 1e-6f);
    }

    startLevel(50, "1"); // L = 500: the view centre stops at 420
    float previous = game.getCamera()->getX();
    for (int i = 0; i < 200 && game.getCamera()->getX() > -420.0f; ++i) {
        previous = game.getCamera()->getX();
        frame(20);
    }
    const float stopped = game.getCamera()->getX();
    EXPECT_LE(stopped, -420.0f);
    EXPECT_GT(previous, -420.0f);
    frame(20);
    EXPECT_EQ(stopped, game.getCamera()->getX());
}

// The explosion catches the player 55 behind the view centre: bronze from
// L / 2, silver from L / 1.333; reaching L / 1.01 is gold. For some lengths
// (L = 70 among them) that mark in single precision lies just below L / 1.01 in double.
TEST_F(GameTest, MedalDependsOnHowFarThePlayerGot)
{
    struct Row { int columns; float xBefore, viewBefore, x, view; GAME_STATE medal; };
    std::vector<Row> rows = {{100, 990.0f, 990.0f, 990.1f, 990.0f, GAME_STATE::GOLD}};
    for (const auto& [x, medal] : {std::pair{499.9f, GAME_STATE::LOST}, {500.0f, GAME_STATE::BRONZE},
                                   {750.0f, GAME_STATE::BRONZE}, {800.0f, GAME_STATE::SILVER}})
        rows.push_back({100, x, x + 55.0f - 0.001f, x, x + 55.0f, medal}); // L = 1000
    for (const int columns : {7, 9, 13, 31, 100}) {
        const float farEnd = static_cast<float>(10 * columns) / 1.01f;
        rows.push_back({columns, std::nextafter(farEnd, 0.0f), 0.0f, farEnd, 0.0f, GAME_STATE::GOLD});
    }
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.columns << " columns, x " << row.x);
        startLevel(row.columns, "0"); // a view that stays where it is put
        stage(row.xBefore, row.viewBefore);
        EXPECT_EQ(GAME_STATE::RUNNING, frame());
        stage(row.x, row.view);
        EXPECT_EQ(row.medal, frame());
        game.stop();
    }
}

TEST_F(GameTest, WalkingIntoAPitEndsTheRoundAtOnce)
{
    // Pit columns at x 100 and 700; coming from the left the ground between
    // the grid points sinks to 12.75 at 97.25 (697.25).
    const auto pitsAt = [](int i) { return i == 10 || i == 70 ? pit : ground; };
    startLevel(100, "0", pitsAt);
    pushEvent(SDL_KEYDOWN, SDLK_RIGHT);
    stage(96.0f, 100.0f);
    EXPECT_EQ(GAME_STATE::RUNNING, frame(10)); // x 96.8, z 13.2
    EXPECT_EQ(GAME_STATE::LOST, frame(10));    // x 97.6, z 12.4
    game.stop();

    startLevel(100, "0", pitsAt); // the right arrow is still held
    stage(690.0f, 700.0f);
    GAME_STATE state = GAME_STATE::RUNNING;
    for (int i = 0; i < 20 && state == GAME_STATE::RUNNING; ++i)
        state = frame(10);
    EXPECT_EQ(GAME_STATE::BRONZE, state);
    EXPECT_NEAR(698.0f, game.getPlayer()->getX(), 0.01f);
}

// (Held jump keys jumping again at once: the pad's run in the application test.)
TEST_F(GameTest, JumpLandsOntoHigherGround)
{
    // A plateau from x 100 on, 3 higher than the start.
    startLevel(100, "0", [](int i) { return i >= 10 ? plateau : ground; });
    stage(70.0f, 100.0f);
    pushEvent(SDL_KEYDOWN, SDLK_RIGHT);
    pushEvent(SDL_KEYDOWN, SDLK_SPACE);
    frame();
    ASSERT_TRUE(game.getPlayer()->isJumping());
    int frames = 1;
    while (game.getPlayer()->isJumping() && frames < 100) {
        frame();
        ++frames;
    }
    EXPECT_LT(frames, 60); // on level ground it would take 60 frames (960 ms)
    EXPECT_FLOAT_EQ(23.0f, game.getPlayer()->getZ());
    EXPECT_EQ(GAME_STATE::RUNNING, game.getState());
}

TEST_F(GameTest, EveryHeldKeyActsInTurn)
{
    startLevel(100, "0");
    stage(100.0f, 100.0f);
    pushEvent(SDL_KEYDOWN, SDLK_d);
    pushEvent(SDL_KEYDOWN, SDLK_RIGHT);
    frame(20);
    EXPECT_FLOAT_EQ(103.2f, game.getPlayer()->getX());
    pushEvent(SDL_KEYUP, SDLK_RIGHT);
    pushEvent(SDL_KEYDOWN, SDLK_a);
    frame(20);
    EXPECT_FLOAT_EQ(103.2f, game.getPlayer()->getX());
    pushEvent(SDL_KEYDOWN, SDLK_LEFT);
    frame(20);
    EXPECT_FLOAT_EQ(101.6f, game.getPlayer()->getX());
    EXPECT_FLOAT_EQ(20.0f, game.getPlayer()->getZ());
}

TEST_F(GameTest, DrawsTheMirroredBackgroundFirstAndTheExplosionBandLast)
{
    startLevel(100, "0");
    const std::vector<FeedbackPrimitive> drawn = captureFeedback([&] { game.update(); });
    // The 2D primitives (at window depth 0) first and last; the scene lies between them.
    const auto flat = [](const FeedbackPrimitive& p) {
        return std::all_of(p.vertices.begin(), p.vertices.end(), [](const FeedbackVertex& v) { return v.z == 0.0f; });
    };
    const auto sceneBegin = std::find_if_not(drawn.begin(), drawn.end(), flat);
    const auto sceneEnd = std::find_if_not(drawn.rbegin(), drawn.rend(), flat).base();
    ASSERT_GT(sceneEnd - sceneBegin, 2);
    // The background mirrored, its first row at the top; the band 25 pixels wide.
    EXPECT_EQ((Corners{{0, 0, 1000, 1000}, {640, 0, 0, 1000}, {640, 480, 0, 0}, {0, 480, 1000, 0}}),
              cornersOf({drawn.begin(), sceneBegin}));
    EXPECT_EQ((Corners{{0, 0, 0, 0}, {25, 0, 1000, 0}, {25, 480, 1000, 1000}, {0, 480, 0, 1000}}),
              cornersOf({sceneEnd, drawn.end()}));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    // The scene's clear colour.
    std::array<float, 4> clear{};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear.data());
    EXPECT_EQ((std::array<float, 4>{0.5f, 0.5f, 1.0f, 1.0f}), clear);
}

} // namespace
