// The menu screens with the shipped fonts: their actions, texts, level
// buttons and medals, and the holds they give back.

#include "config.h"
#include "fontwriter.h"
#include "menue.h"
#include "menuecopyright.h"
#include "menuelost.h"
#include "menuelvl.h"
#include "menuemain.h"
#include "menuewonbronze.h"
#include "menuewongold.h"
#include "menuewonsilver.h"
#include "renderer.h"
#include "resourcemanager.h"
#include "savegame.h"
#include "sound.h"
#include "texture2d.h"

#include "engineenvironment.h"
#include "glcapture.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <SDL/SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Action = std::pair<std::string, std::string>;

// The controller with its screen switching replaced by a record of the actions.
struct RecordingMenue : Menue {
    void actionPerformed(const std::string& sender, const std::string& command) override
    {
        actions.emplace_back(sender, command);
    }
    std::vector<Action> actions;
};

template <class Screen>
std::unique_ptr<MenueImpl> create()
{
    return std::make_unique<Screen>();
}
using Factory = std::unique_ptr<MenueImpl> (*)();

struct Rect {
    float left, bottom, right, top;
    auto operator<=>(const Rect&) const = default;
};

Rect boundsOf(const FeedbackPrimitive& primitive)
{
    Rect r{INFINITY, INFINITY, -INFINITY, -INFINITY};
    for (const FeedbackVertex& v : primitive.vertices)
        r = {std::min(r.left, v.x), std::min(r.bottom, v.y), std::max(r.right, v.x), std::max(r.top, v.y)};
    // Whole hundredths, so the parts of one quad compare equal.
    for (float* edge : {&r.left, &r.bottom, &r.right, &r.top})
        *edge = std::round(*edge * 100) / 100;
    return r;
}

// How many distinct side by side squares were drawn.
std::size_t squares(const std::vector<FeedbackPrimitive>& drawn, float side)
{
    std::set<Rect> found;
    for (const FeedbackPrimitive& primitive : drawn) {
        const Rect r = boundsOf(primitive);
        if (std::abs(r.right - r.left - side) < 0.05f && std::abs(r.top - r.bottom - side) < 0.05f)
            found.insert(r);
    }
    return found.size();
}

// A string as drawn: its first glyph's top-left corner, its bytes and
// where its last glyph ends, which the comparison leaves out.
struct TextLine {
    float left, top;
    std::string text;
    float right = 0;
    bool operator==(const TextLine& other) const
    {
        return left == other.left && top == other.top && text == other.text;
    }
};

// Reads the strings back from the glyphs drawn: a glyph's texture cell in the
// font's 15 by 15 grid gives its code (two cells per code), and a gap wider
// than the one unit after each glyph holds spaces of 5 units.
std::vector<TextLine> textLines(const std::vector<FeedbackPrimitive>& drawn)
{
    std::vector<TextLine> lines;
    Rect previous{};
    for (const FeedbackPrimitive& primitive : drawn) {
        const Rect glyph = boundsOf(primitive);
        if (glyph.right - glyph.left >= 60 || glyph.top - glyph.bottom >= 60)
            continue; // a widget or a medal
        if (!lines.empty() && glyph == previous)
            continue; // another part of the same glyph
        float s = 0, t = 0;
        for (const FeedbackVertex& v : primitive.vertices) {
            s += v.s / static_cast<float>(primitive.vertices.size());
            t += v.t / static_cast<float>(primitive.vertices.size());
        }
        const int cell = static_cast<int>(t * 15) * 15 + static_cast<int>(s * 15);
        if (lines.empty() || glyph.top != lines.back().top || glyph.left < previous.right) {
            lines.push_back({glyph.left, glyph.top, ""});
        } else {
            const long spaces = std::lround((glyph.left - previous.right - 1) / 5);
            lines.back().text.append(static_cast<std::size_t>(spaces), ' ');
        }
        lines.back().text += static_cast<char>(33 + cell / 2);
        lines.back().right = glyph.right;
        previous = glyph;
    }
    return lines;
}

class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::copy(fs::path(KERBOLT_SOURCE_DIR) / "resources", "resources", fs::copy_options::recursive);
        useWindow(800, 600);
        // Five seconds: still playing while the test looks.
        dir.writeFile(MenueResult::endSoundFile, wavFile(110250));
        FontWriter::getInstance().load();
        heldBefore = manager.getResourceCount();
    }
    void TearDown() override
    {
        if (screen)
            screen->stop();
        FontWriter::getInstance().unload();
        Mix_HaltChannel(-1);
        dir.writeFile("resources/config.cfg", configText());
        Config::load("resources/config.cfg");
        Renderer::getInstance().start();
        Renderer::getInstance().setOrtho();
    }

    // The configured window; the renderer is at least as large, so nothing is clipped.
    void useWindow(int width, int height, int rendererWidth = 1280, int rendererHeight = 1024)
    {
        dir.writeFile("resources/config.cfg",
                      configText({{"window_width", width}, {"window_height", height},
                                  {"renderer_width", rendererWidth}, {"renderer_height", rendererHeight}}));
        Config::load("resources/config.cfg");
        Renderer::getInstance().start();
        Renderer::getInstance().setOrtho();
    }

    void start(Factory make, Menue* menue = nullptr)
    {
        screen = make();
        screen->start(menue);
    }

    // One frame with the pointer at window pixel (x, y), y downwards.
    void frame(int x, int y, bool held)
    {
        Mix_HaltChannel(-1);
        pushEvent(SDL_MOUSEMOTION, x, y);
        pushEvent(held ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
        EngineEnvironment::runEngineFrame();
        screen->update();
    }

    // The second frame's drawing: the first leaves the screen's last font selected.
    std::vector<FeedbackPrimitive> drawTwice()
    {
        frame(0, 0, false);
        return captureFeedback([this] { screen->update(); });
    }

    static int plays(const Sound* sound)
    {
        int count = 0;
        for (int channel = 0; channel < Mix_AllocateChannels(-1); ++channel)
            count += Mix_Playing(channel) && Mix_GetChunk(channel) == sound->getChunk();
        return count;
    }

    MenueLVL& levels() { return dynamic_cast<MenueLVL&>(*screen); }

    ScopedWorkDir dir;
    ResourceManager& manager = ResourceManager::getInstance();
    std::size_t heldBefore = 0;
    std::unique_ptr<MenueImpl> screen;
};

TEST_F(ScreenTest, EveryScreenSendsItsActionsAndGivesBackAllItHeld)
{
    dir.writeFile(Savegame::fileName, "0 0 0 0 0 0 0 ");
    struct Click {
        int x, y; // window pixels in an 800 by 600 window, y downwards
        Action action;
    };
    const std::vector<Click> mainButtons = {
        {678, 362, {"Menue", "LVL"}}, {678, 412, {"Menue", "Copyright"}}, {678, 462, {"Menue", "Quit"}}};
    const struct {
        const char* name;
        Factory make;
        std::vector<Click> clicks;
    } rows[] = {
        {"main", create<MenueMain>, mainButtons},
        {"credits", create<MenueCopyright>, mainButtons},
        {"gold", create<MenueWonGold>, mainButtons},
        {"silver", create<MenueWonSilver>, mainButtons},
        {"bronze", create<MenueWonBronze>, mainButtons},
        {"lost", create<MenueLost>, mainButtons},
        {"level selection",
         create<MenueLVL>,
         {{678, 462, {"Menue", "Main"}},
          {114, 186, {"Game", "resources/lvls/lvl1.txt"}},
          {314, 186, {"Game", "resources/lvls/lvl2.txt"}},
          {514, 186, {"Game", "resources/lvls/lvl3.txt"}},
          {314, 586, {"Game", "resources/lvls/lvlSpecial.txt"}},
          {114, 386, {"Game", "resources/lvls/lvl1b.txt"}},
          {314, 386, {"Game", "resources/lvls/lvl2b.txt"}},
          {514, 386, {"Game", "resources/lvls/lvl3b.txt"}}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingMenue menue;
        start(row.make, &menue);
        std::vector<Action> expected;
        for (const Click& click : row.clicks) {
            frame(click.x, click.y, true);
            frame(click.x, click.y, false);
            expected.push_back(click.action);
        }
        EXPECT_EQ(expected, menue.actions);
        screen->stop();
        EXPECT_EQ(heldBefore, manager.getResourceCount());
        screen->stop();
        EXPECT_EQ(heldBefore, manager.getResourceCount());
        screen.reset();
    }
}

TEST_F(ScreenTest, LevelSelectionOffersOneLevelPerSavegameEntryWithItsBestMedal)
{
    useWindow(1024, 768);
    const struct {
        const char* savegame;
        std::size_t offered, medals;
    } rows[] = {{"", 0, 0}, {"3 0 3 ", 3, 2}, {"1 2 3 5 -1 0 3 ", 7, 6}, {"3 3 3 3 3 3 3 3 3 ", 7, 7}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << '"' << row.savegame << '"');
        dir.writeFile(Savegame::fileName, row.savegame);
        start(create<MenueLVL>);
        EXPECT_EQ(row.offered, levels().offeredLevels());
        const auto drawn = drawTwice();
        EXPECT_EQ(row.offered, squares(drawn, 128)); // the level buttons drawn
        EXPECT_EQ(row.medals, squares(drawn, MenueLVL::medalSize));
        screen->stop();
    }

    const std::pair<int32_t, const char*> medals[] = {{0, nullptr},
                                                      {1, MenueLVL::bronzeMedalFile},
                                                      {2, MenueLVL::silverMedalFile},
                                                      {3, MenueLVL::goldMedalFile},
                                                      {5, MenueLVL::goldMedalFile},
                                                      {-1, MenueLVL::goldMedalFile}};
    start(create<MenueLVL>);
    for (const auto& [value, file] : medals) {
        const Texture2D* expected = file ? manager.getResource<Texture2D>(file) : nullptr;
        EXPECT_EQ(expected, levels().medalFor(value)) << "value " << value;
        manager.releaseResource(expected);
    }
}

TEST_F(ScreenTest, LevelButtonsAndMedalsStandBelowTheWindowTop)
{
    useWindow(1024, 768);
    dir.writeFile(Savegame::fileName, "3 3 3 3 3 3 3 ");
    start(create<MenueLVL>);
    using Corners = std::vector<std::pair<float, float>>;
    Corners seen;
    for (const auto& button : levels().getLevelButtons())
        seen.emplace_back(button->getPosition().x, button->getPosition().y);
    EXPECT_EQ((Corners{{50, 518}, {250, 518}, {450, 518}, {250, 118}, {50, 318}, {250, 318}, {450, 318}}), seen);
    FeedbackPrimitive medal; // level 1's, from all its parts
    for (const FeedbackPrimitive& part : captureFeedback([this] { levels().drawMedal(0); }))
        medal.vertices.insert(medal.vertices.end(), part.vertices.begin(), part.vertices.end());
    EXPECT_EQ((Rect{146, 486, 210, 550}), boundsOf(medal));
}

TEST_F(ScreenTest, LevelSelectionWithoutSavegameThrowsAndHoldsNothing)
{
    screen = create<MenueLVL>();
    EXPECT_EQ("Cannot open or create file 'resources/savegame'", thrownMessage([this] { screen->start(nullptr); }));
    EXPECT_EQ(heldBefore, manager.getResourceCount());
}

TEST_F(ScreenTest, ResultScreensCentreTheirMessageAndPlayTheEndSoundOnce)
{
    const Sound* endSound = manager.getResource<Sound>(MenueResult::endSoundFile);
    const Factory results[] = {create<MenueWonGold>, create<MenueWonSilver>, create<MenueWonBronze>, create<MenueLost>};
    for (const Factory make : results) {
        for (const int odd : {0, 1}) { // 800 by 600 and 801 by 601: the same whole halves
            useWindow(800 + odd, 600 + odd);
            Mix_HaltChannel(-1);
            start(make);
            const auto& result = dynamic_cast<const MenueResult&>(*screen);
            SCOPED_TRACE(::testing::Message() << result.getFirstLine() << ", odd size " << odd);
            EXPECT_EQ(1, plays(endSound)) << "as the screen opens";
            const auto lines = textLines(drawTwice());
            EXPECT_EQ(0, plays(endSound)) << "again in a frame";
            for (const TextLine& line : {TextLine{300, 310, result.getFirstLine()},
                                         TextLine{300, 290, result.getSecondLine()}})
                EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), line)) << line.text;
            screen->stop();
        }
    }
    manager.releaseResource(endSound);
}

TEST_F(ScreenTest, MainScreenWritesItsTextsByteForByte)
{
    useWindow(1024, 768);
    start(create<MenueMain>);
    const std::vector<TextLine> expected = {
        {910, 247, ".start game"},
        {910, 197, ".copyrights"},
        {910, 147, ".quit game"},
        {100, 648, "Welcome to Kerbolt 2008!"},
        {100, 588, "This is the new Version of the well known game 'Kerbolt'."},
        {100, 568, "You still play the small character called 'Pimbo'. The bad news is,"},
        {100, 548, "that the nuclear bomb didn\x60t finish exploding yet. So your turn is to"},
        {100, 528, "flee from the Bomb and jump to a safe spot! I hope you can escape!"},
    };
    EXPECT_EQ(expected, textLines(drawTwice()));
}

TEST_F(ScreenTest, CreditsEndLeftOfTheButtonsInAnEightHundredWideWindow)
{
    useWindow(800, 600, 800, 600);
    start(create<MenueCopyright>);
    std::vector<TextLine> own; // the captions of the buttons start further right
    for (const TextLine& line : textLines(drawTwice()))
        if (line.left == 100)
            own.push_back(line);
    ASSERT_EQ(6u, own.size());
    EXPECT_EQ((TextLine{100, 480, "the Copyrights"}), own[0]);
    const float tops[] = {400, 380, 360, 340, 300};
    for (std::size_t i = 1; i < own.size(); ++i) {
        SCOPED_TRACE(own[i].text);
        EXPECT_EQ(tops[i - 1], own[i].top);
        EXPECT_LT(own[i].right, 550.0f);
    }
    EXPECT_NE(std::string::npos, own[4].text.find("Copyright (c) 2008 the Kerbolt team"));
}

} // namespace
