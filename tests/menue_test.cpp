// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The menu controller over the shipped resources: the turning backdrop, the
// shade frame, screen switches and the requests it passes on.

#include "menu/menue.h"

#include "engineenvironment.h"
#include "menu/menuecopyright.h"
#include "menu/menuelvl.h"
#include "menu/menuemain.h"
#include "menu/menuewongold.h"
#include "world/savegame.h"
#include "engine/timer.h"

#include "menufixture.h"

#include <cmath>
#include <typeinfo>

namespace {

class MenueTest : public MenuFixture {
protected:
    MenueTest() : MenuFixture(KERBOLT_SOURCE_DIR)
    {
        Timer::getInstance().setTickSource([this] { return now; });
        EngineEnvironment::runEngineFrame();
        menue.setActionListener(&listener, "", "");
    }
    ~MenueTest() override { Timer::getInstance().setTickSource({}); } // the menu stops as it is destroyed

    // One frame of `milliseconds`: the engine's tasks run, then the menu draws.
    APP_STATE frame(Menue& which, uint32_t milliseconds = 16)
    {
        now += milliseconds;
        EngineEnvironment::runEngineFrame();
        return which.update();
    }

    const char* screenType() const { return menue.getScreen() ? typeid(*menue.getScreen()).name() : "no screen"; }

    uint32_t now = 1000;
    RecordingListener listener;
    Menue menue;
};

TEST_F(MenueTest, TheIslandTurnsForeverUnderTheShadeFrameAndScreensSwitchOnTheNextFrameTheOldOneStoppingFirst)
{
    // The shade frame is a bottom band and a top bar.
    EXPECT_EQ((Corners{
        {640, 0, 0, 210}, {0, 0, 1000, 210}, {0, 100, 1000, 400}, {640, 100, 0, 400}, // the bottom band, mirrored
        {128, 480, 0, 0}, {640, 480, 1000, 0}, {640, 380, 1000, 200}, {128, 380, 0, 200}, // the top bar's right part
        {0, 480, 100, 0}, {0, 380, 100, 200}}), // and its left part, stretched
              cornersOf(captureFeedback([] { Menue::drawShadeQuads(640.0f, 480.0f); })));

    for (const uint32_t step : {25u, 100u, 250u}) { // every frame draws the terrain: few of them
        Menue fresh;
        fresh.start(APP_STATE::MENUE_MAIN);
        for (uint32_t elapsed = 0; elapsed < 1000; elapsed += step)
            frame(fresh, step);
        EXPECT_NEAR(95.0f, fresh.getSpinAngle(), 0.01f) << step << " ms frames";
    }
    // About eleven days in one frame, then two seconds more: a float angle
    // that grew without bound would no longer move by a frame's step.
    menue.start(APP_STATE::MENUE_MAIN);
    frame(menue, 1000000000u);
    const float afterDays = menue.getSpinAngle();
    EXPECT_TRUE(afterDays >= 0 && afterDays < 360) << afterDays;
    for (int i = 0; i < 4; ++i)
        frame(menue, 500);
    EXPECT_NEAR(std::fmod(afterDays + 10.0f, 360.0f), menue.getSpinAngle(), 0.01f);
    menue.stop();

    // Screens switch on the next frame, the old one stopping first; levels and quit are passed on.
    menue.start(APP_STATE::MENUE_GOLD);
    EXPECT_STREQ("no screen", screenType()) << "the first screen opens in the first frame";
    const struct { const char* command; APP_STATE pending; const char* screen; } switches[] = {
        {"", APP_STATE::MENUE_GOLD, typeid(MenueWonGold).name()},
        {"LVL", APP_STATE::MENUE_LVL, typeid(MenueLVL).name()},
        {"Copyright", APP_STATE::MENUE_COPYRIGHT, typeid(MenueCopyright).name()},
        {"Main", APP_STATE::MENUE_MAIN, typeid(MenueMain).name()}};
    for (const auto& change : switches) {
        if (*change.command)
            menue.actionPerformed("Menue", change.command);
        EXPECT_EQ(change.pending, menue.getState()) << change.command;
        EXPECT_EQ(APP_STATE::MENUE, frame(menue));
        EXPECT_STREQ(change.screen, screenType()) << change.command;
    }
    menue.actionPerformed("Game", "resources/lvls/lvl2b.txt");
    menue.actionPerformed("Somebody", "LVL");
    menue.actionPerformed("menue", "LVL");
    EXPECT_EQ(APP_STATE::MENUE, menue.getState()) << "other senders change nothing";
    EXPECT_EQ((std::vector<Action>{{"Game", "resources/lvls/lvl2b.txt"}}), listener.actions);
    for (const char* ending : {"Quit", "ShutDown", "lvl"}) {
        listener.actions.clear();
        menue.actionPerformed("Menue", ending);
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(APP_STATE::SHUTDOWN, frame(menue)) << ending;
        EXPECT_EQ((std::vector<Action>(2, {"Menue", "ShutDown"})), listener.actions) << ending;
        menue.actionPerformed("Menue", "Main");
    }
    frame(menue); // the main screen, after the last "Main" above
    // The level selection cannot read a savegame that is a directory, so its
    // start throws; by then the main screen must have let go of its widgets.
    std::filesystem::remove(Savegame::fileName);
    std::filesystem::create_directory(Savegame::fileName);
    menue.actionPerformed("Menue", "LVL");
    EXPECT_EQ("Cannot open or create file 'resources/savegame'", thrownMessage([this] { frame(menue); }));
    for (std::size_t i = 0; i < held(); ++i)
        EXPECT_NE(MenueItem::guiTextureFile, ResourceManager::getInstance().getResourceAt(i).getName());
    menue.stop(); // and again as the test ends: the fixture counts what is still held
    EXPECT_STREQ("no screen", screenType());
}

} // namespace
