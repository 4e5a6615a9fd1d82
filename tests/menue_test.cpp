// The menu controller over the shipped resources: the turning backdrop, the
// shade frame, screen switches and the requests it passes on.

#include "menue.h"

#include "config.h"
#include "engineenvironment.h"
#include "fontwriter.h"
#include "glcapture.h"
#include "menuecopyright.h"
#include "menuelvl.h"
#include "menuemain.h"
#include "menuewongold.h"
#include "renderer.h"
#include "resourcemanager.h"
#include "savegame.h"
#include "tempdir.h"
#include "timer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Action = std::pair<std::string, std::string>;

struct RecordingListener : ActionListener {
    void actionPerformed(const std::string& sender, const std::string& command) override
    {
        actions.emplace_back(sender, command);
    }
    std::vector<Action> actions;
};

class MenueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::copy(fs::path(KERBOLT_SOURCE_DIR) / "resources", "resources", fs::copy_options::recursive);
        dir.writeFile("resources/config.cfg", configText());
        dir.writeFile(Savegame::fileName, "0 0 0 0 0 0 0 ");
        Config::load("resources/config.cfg");
        Timer::getInstance().setTickSource([this] { return now; });
        EngineEnvironment::runEngineFrame();
        FontWriter::getInstance().load();
        heldBefore = ResourceManager::getInstance().getResourceCount();
        menue.setActionListener(&listener, "", "");
    }
    void TearDown() override
    {
        menue.stop();
        FontWriter::getInstance().unload();
        Timer::getInstance().setTickSource({});
    }

    // One frame of `milliseconds`: the menu draws, then the engine's tasks run.
    APP_STATE frame(uint32_t milliseconds = 16)
    {
        now += milliseconds;
        EngineEnvironment::runEngineFrame();
        return menue.update();
    }

    ScopedWorkDir dir;
    uint32_t now = 1000;
    std::size_t heldBefore = 0;
    RecordingListener listener;
    Menue menue;
};

TEST_F(MenueTest, TheIslandTurnsFiveDegreesPerSecondAtAnyFrameRateAndForever)
{
    for (const uint32_t step : {10u, 40u, 250u}) {
        Menue fresh;
        fresh.start(APP_STATE::MENUE_MAIN);
        for (uint32_t elapsed = 0; elapsed < 2000; elapsed += step) {
            now += step;
            EngineEnvironment::runEngineFrame();
            fresh.update();
        }
        EXPECT_NEAR(100.0f, fresh.getSpinAngle(), 0.01f) << step << " ms frames";
        fresh.stop();
    }
    // About eleven days in one frame, then two seconds more: a float angle
    // that grew without bound would no longer move by a frame's step.
    menue.start(APP_STATE::MENUE_MAIN);
    frame(1000000000u);
    const float afterDays = menue.getSpinAngle();
    EXPECT_GE(afterDays, 0.0f);
    EXPECT_LT(afterDays, 360.0f);
    for (int i = 0; i < 20; ++i)
        frame(100);
    EXPECT_NEAR(std::fmod(afterDays + 10.0f, 360.0f), menue.getSpinAngle(), 0.01f);
}

TEST_F(MenueTest, TheShadeFrameIsABottomBandAndATopBar)
{
    struct Corner {
        float x, y, s, t;
    };
    const std::vector<std::vector<Corner>> expected = {
        {{640, 0, 0, 0.21f}, {0, 0, 1, 0.21f}, {0, 100, 1, 0.4f}, {640, 100, 0, 0.4f}},
        {{128, 480, 0, 0}, {640, 480, 1, 0}, {640, 380, 1, 0.2f}, {128, 380, 0, 0.2f}},
        {{128, 480, 0, 0}, {0, 480, 0.1f, 0}, {0, 380, 0.1f, 0.2f}, {128, 380, 0, 0.2f}},
    };
    const auto primitives = captureFeedback([] {
        Renderer::getInstance().setOrtho();
        Menue::drawShadeQuads(640.0f, 480.0f);
    });
    // Each quad arrives as two triangles that together carry its corners.
    ASSERT_EQ(2 * expected.size(), primitives.size());
    for (std::size_t quad = 0; quad < expected.size(); ++quad) {
        std::vector<FeedbackVertex> seen = primitives[2 * quad].vertices;
        seen.insert(seen.end(), primitives[2 * quad + 1].vertices.begin(), primitives[2 * quad + 1].vertices.end());
        for (const Corner& want : expected[quad]) {
            const bool found = std::any_of(seen.begin(), seen.end(), [&](const FeedbackVertex& v) {
                return std::abs(v.x - want.x) < 0.01f && std::abs(v.y - want.y) < 0.01f &&
                       std::abs(v.s - want.s) < 1e-5f && std::abs(v.t - want.t) < 1e-5f;
            });
            EXPECT_TRUE(found) << "quad " << quad << " lacks (" << want.x << ", " << want.y << ") with (" << want.s
                               << ", " << want.t << ")";
        }
    }
}

TEST_F(MenueTest, SwitchesScreensOnTheNextFrameAndPassesLevelsAndQuitOn)
{
    menue.start(APP_STATE::MENUE_MAIN);
    EXPECT_EQ(nullptr, menue.getScreen()) << "the first screen opens in the first frame";
    EXPECT_EQ(APP_STATE::MENUE, frame());
    EXPECT_NE(nullptr, dynamic_cast<const MenueMain*>(menue.getScreen()));

    const struct {
        const char* command;
        APP_STATE pending;
        bool (*isScreen)(const MenueImpl*);
    } switches[] = {
        {"LVL", APP_STATE::MENUE_LVL, [](const MenueImpl* s) { return dynamic_cast<const MenueLVL*>(s) != nullptr; }},
        {"Copyright", APP_STATE::MENUE_COPYRIGHT,
         [](const MenueImpl* s) { return dynamic_cast<const MenueCopyright*>(s) != nullptr; }},
        {"Main", APP_STATE::MENUE_MAIN, [](const MenueImpl* s) { return dynamic_cast<const MenueMain*>(s) != nullptr; }},
    };
    for (const auto& change : switches) {
        menue.actionPerformed("Menue", change.command);
        EXPECT_EQ(change.pending, menue.getState()) << change.command;
        EXPECT_EQ(APP_STATE::MENUE, frame());
        EXPECT_TRUE(change.isScreen(menue.getScreen())) << change.command;
    }

    const std::string level = "resources/lvls/lvl2b.txt";
    menue.actionPerformed("Game", level);
    menue.actionPerformed("Somebody", "LVL");
    menue.actionPerformed("menue", "LVL");
    EXPECT_EQ(APP_STATE::MENUE, frame());
    EXPECT_EQ((std::vector<Action>{{"Game", level}}), listener.actions);

    for (const char* ending : {"Quit", "ShutDown", "lvl"}) {
        Menue other;
        RecordingListener application;
        other.setActionListener(&application, "", "");
        other.start(APP_STATE::MENUE_GOLD);
        other.update();
        EXPECT_NE(nullptr, dynamic_cast<const MenueWonGold*>(other.getScreen()));
        other.actionPerformed("Menue", ending);
        EXPECT_EQ(APP_STATE::SHUTDOWN, other.update());
        EXPECT_EQ(APP_STATE::SHUTDOWN, other.update());
        EXPECT_EQ((std::vector<Action>(2, {"Menue", "ShutDown"})), application.actions) << ending;
    }
}

TEST_F(MenueTest, StopsTheOldScreenBeforeTheNewOneStartsAndGivesEverythingBack)
{
    menue.start(APP_STATE::MENUE_MAIN);
    frame();
    // The level selection cannot read a savegame that is a directory, so its
    // start throws; by then the main screen must have let go of its widgets.
    fs::remove(Savegame::fileName);
    fs::create_directory(Savegame::fileName);
    menue.actionPerformed("Menue", "LVL");
    EXPECT_NE("", thrownMessage([this] { frame(); }));
    for (std::size_t i = 0; i < ResourceManager::getInstance().getResourceCount(); ++i)
        EXPECT_NE(MenueItem::guiTextureFile, ResourceManager::getInstance().getResourceAt(i).getName());

    menue.stop();
    EXPECT_EQ(nullptr, menue.getScreen());
    EXPECT_EQ(heldBefore, ResourceManager::getInstance().getResourceCount());
    menue.stop();
    EXPECT_EQ(heldBefore, ResourceManager::getInstance().getResourceCount());
}

TEST_F(MenueTest, WithoutListenerOrScreenNothingIsCalled)
{
    Menue lonely;
    lonely.start(APP_STATE::MENUE_MAIN);
    lonely.actionPerformed("Game", "resources/lvls/lvl1.txt");
    lonely.actionPerformed("Menue", "Quit");
    EXPECT_EQ(APP_STATE::SHUTDOWN, lonely.update());
    EXPECT_EQ(nullptr, lonely.getScreen());
    lonely.stop();
    Menue blank;
    blank.start(APP_STATE::MENUE);
    EXPECT_EQ(APP_STATE::MENUE, blank.update());
    blank.stop();
    EXPECT_EQ(heldBefore, ResourceManager::getInstance().getResourceCount());
}

} // namespace
