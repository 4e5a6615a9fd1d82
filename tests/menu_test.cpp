// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The menu over the shipped resources, driven with pushed mouse, key and pad
// events: the two widget kinds (hit box, sounds, clicks, what they draw),
// the screens (actions, texts, level buttons, medals, the holds they give
// back) and the controller (the turning backdrop, the shade frame, screen
// switches and the requests it passes on).

#include "engine/timer.h"
#include "menu/button.h"
#include "menu/imagebutton.h"
#include "menu/menue.h"
#include "menu/menuecopyright.h"
#include "menu/menuelost.h"
#include "menu/menuelvl.h"
#include "menu/menuemain.h"
#include "menu/menuewonbronze.h"
#include "menu/menuewongold.h"
#include "menu/menuewonsilver.h"
#include "resources/image.h"
#include "resources/texture2d.h"
#include "world/savegame.h"

#include "engineenvironment.h"
#include "menufixture.h"

#include <SDL/SDL_mixer.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <typeinfo>

namespace {

enum class Kind { Text, Picture };

class WidgetTest : public MenuFixture {
protected:
    WidgetTest() : MenuFixture(KERBOLT_SOURCE_DIR) {}
    ~WidgetTest() override
    {
        if (widget)
            widget->stop();
    }

    // A started widget at (x, 180) captioned "AB", sending ("Game", "lvl.txt").
    void make(Kind kind, float x, ActionListener* listener)
    {
        if (widget)
            widget->stop();
        Point2D at;
        at.set(x, 180);
        if (kind == Kind::Text) {
            widget = std::make_unique<Button>();
            static_cast<Button&>(*widget).start(at, Point2D(256, 37), "AB", click, hover);
        } else {
            widget = std::make_unique<ImageButton>();
            static_cast<ImageButton&>(*widget).start(at, Point2D(128, 128), "AB", Image::defaultFile, click, hover);
        }
        widget->setActionListener(listener, "Game", "lvl.txt");
    }

    // One frame with the pointer at window pixel (x, y); answers what the widget drew.
    std::vector<FeedbackPrimitive> frame(int x, int y, bool held)
    {
        pointer(x, y, held);
        return captureFeedback([this] { widget->update(); });
    }

    const char *click = MenueMain::clickSoundFile, *hover = MenueMain::hoverSoundFile;
    std::unique_ptr<MenueItem> widget;
};

TEST_F(WidgetTest, PointerCountsAsOverStrictlyInsideHoverPlaysOnEntryAClickOnReleaseAndTheCaptionLightsUp)
{
    make(Kind::Text, 100, nullptr); // x 100 to 356, y 180 to 217; the window is 600 high
    const int probes[][3] = {
        {130, 400, 1}, {130, 200, 0}, // (130, 200) in menu units, and its mirror image
        {100, 400, 0}, {101, 400, 1}, {356, 400, 0}, {355, 400, 1},
        {130, 420, 0}, {130, 419, 1}, {130, 383, 0}, {130, 384, 1},
    };
    for (const auto& [x, y, over] : probes) {
        frame(0, 0, false); // away first, so entering plays the hover sound
        frame(x, y, false);
        EXPECT_EQ(over, plays(hover)) << "mouse " << x << "," << y;
    }

    const struct {
        Kind kind;
        float captionLeft, captionTop; // whole units: the widget stands at x 100.75
    } kinds[] = {{Kind::Text, 236, 207}, {Kind::Picture, 103, 196}};
    // Per frame: pointer over the widget, left button held, hover and click sounds played.
    struct Step { bool over, held; int hoverPlays, clickPlays; };
    const struct { const char* name; bool listening; std::vector<Step> steps; } scenarios[] = {
        {"pressed and released over it: one click, on the release", true,
         {{false, false, 0, 0}, {true, false, 1, 0}, {true, true, 0, 0}, {true, true, 0, 0}, {true, false, 0, 1},
          {true, false, 0, 0}}},
        {"dragged off and back while held, released over it", true,
         {{true, true, 1, 0}, {false, true, 0, 0}, {true, true, 1, 0}, {true, false, 0, 1}}},
        {"released away, back with the button up: no click", true,
         {{true, true, 1, 0}, {false, true, 0, 0}, {false, false, 0, 0}, {true, false, 1, 0}, {true, false, 0, 0}}},
        {"no listener: the click sounds once, the resting pointer repeats nothing", false,
         {{true, true, 1, 0}, {true, false, 0, 1}, {true, false, 0, 0}, {true, false, 0, 0}}},
    };
    for (const auto& kind : kinds) {
        for (const auto& scenario : scenarios) {
            SCOPED_TRACE(::testing::Message() << "picture " << (kind.kind == Kind::Picture) << ": " << scenario.name);
            RecordingListener listener;
            make(kind.kind, 100.75f, scenario.listening ? &listener : nullptr);
            std::size_t clicks = 0;
            for (std::size_t i = 0; i < scenario.steps.size(); ++i) {
                const Step& step = scenario.steps[i];
                const auto drawn = frame(step.over ? 130 : 20, 400, step.held);
                EXPECT_EQ(step.hoverPlays, plays(hover)) << "frame " << i;
                EXPECT_EQ(step.clickPlays, plays(click)) << "frame " << i;
                clicks += static_cast<std::size_t>(step.clickPlays);
                const TextLine caption{kind.captionLeft, kind.captionTop, "AB", step.over};
                EXPECT_EQ(std::vector<TextLine>{caption}, textLines(drawn)) << "frame " << i;
            }
            EXPECT_EQ(std::vector<Action>(scenario.listening ? clicks : 0, {"Game", "lvl.txt"}), listener.actions);
        }
    }
}

using Factory = std::unique_ptr<MenueImpl> (*)();
template <class Screen>
std::unique_ptr<MenueImpl> create()
{
    return std::make_unique<Screen>();
}

// The distinct squares of the given side that were drawn.
std::set<Rect> squares(const std::vector<FeedbackPrimitive>& drawn, float side)
{
    std::set<Rect> found;
    for (const FeedbackPrimitive& primitive : drawn)
        if (const Rect r = boundsOf(primitive); r.right - r.left == side && r.top - r.bottom == side)
            found.insert(r);
    return found;
}

class ScreenTest : public MenuFixture {
protected:
    ScreenTest() : MenuFixture(KERBOLT_SOURCE_DIR) {}
    ~ScreenTest() override { start(nullptr); }

    // Stops the screen shown so far and starts the one make gives, if any.
    void start(Factory make, Menue* menue = nullptr)
    {
        if (screen)
            screen->stop();
        screen = make ? make() : nullptr;
        if (screen)
            screen->start(menue);
    }

    // The second frame's drawing: the first leaves the screen's last font selected.
    std::vector<FeedbackPrimitive> drawTwice()
    {
        pointer(0, 0, false);
        screen->update();
        return captureFeedback([this] { screen->update(); });
    }

    // The captions of the screen's buttons drawn as under the pointer: a
    // text button in the widget texture's second band, a picture button in
    // the frame's left half.
    std::vector<std::string> litCaptions(const std::vector<FeedbackPrimitive>& drawn) const
    {
        std::vector<std::string> lit;
        for (const MenueItem* button : screen->getFocus().getButtons()) {
            const Point2D low = button->getPosition(), high = low + button->getSize();
            for (const FeedbackPrimitive& primitive : drawn) {
                float sMax = 0, tMin = 1, tMax = 0;
                for (const FeedbackVertex& v : primitive.vertices)
                    sMax = std::max(sMax, v.s), tMin = std::min(tMin, v.t), tMax = std::max(tMax, v.t);
                if (boundsOf(primitive) == Rect{low.x, low.y, high.x, high.y}
                    && ((sMax <= 0.5f && tMin >= 0.5f) || (tMin >= 0.148f && tMax <= 0.293f))) {
                    const auto* text = dynamic_cast<const Button*>(button);
                    lit.push_back(text ? text->getText() : dynamic_cast<const ImageButton&>(*button).getText());
                    break;
                }
            }
        }
        return lit;
    }

    std::unique_ptr<MenueImpl> screen;
};

TEST_F(ScreenTest, EveryScreenSendsItsActionsWritesItsTextsAndTheLevelSelectionOffersEachEntryWithItsMedal)
{
    struct Click { int x, y; Action action; }; // window pixels in an 800 by 600 window, y downwards
    const std::vector<Click> mainButtons = {
        {678, 362, {"Menue", "LVL"}}, {678, 412, {"Menue", "Copyright"}}, {678, 462, {"Menue", "Quit"}}};
    const struct { const char* name; Factory make; std::vector<Click> clicks; } rows[] = {
        {"main", create<MenueMain>, mainButtons},        {"credits", create<MenueCopyright>, mainButtons},
        {"gold", create<MenueWonGold>, mainButtons},     {"silver", create<MenueWonSilver>, mainButtons},
        {"bronze", create<MenueWonBronze>, mainButtons}, {"lost", create<MenueLost>, mainButtons},
        {"level selection", create<MenueLVL>,
         {{678, 462, {"Menue", "Main"}},
          {114, 186, {"Game", "resources/lvls/lvl1.txt"}}, {314, 186, {"Game", "resources/lvls/lvl2.txt"}},
          {514, 186, {"Game", "resources/lvls/lvl3.txt"}}, {314, 586, {"Game", "resources/lvls/lvlSpecial.txt"}},
          {114, 386, {"Game", "resources/lvls/lvl1b.txt"}}, {314, 386, {"Game", "resources/lvls/lvl2b.txt"}},
          {514, 386, {"Game", "resources/lvls/lvl3b.txt"}}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Recording<Menue> menue;
        start(row.make, &menue);
        std::vector<Action> expected;
        for (const Click& click : row.clicks) {
            for (const bool held : {true, false}) {
                pointer(click.x, click.y, held);
                screen->update();
            }
            expected.push_back(click.action);
        }
        EXPECT_EQ(expected, menue.actions);
        screen->stop(); // and again as the next one starts: the fixture counts what is still held
    }

    // The level selection offers one level per savegame entry, with its best medal.
    useWindow(1024, 768);
    const struct { const char* savegame; std::size_t offered, medals; } savegames[] = {
        {"", 0, 0}, {"3 0 3 ", 3, 2}, {"1 2 3 5 -1 0 3 ", 7, 6}, {"3 3 3 3 3 3 3 3 3 ", 7, 7}};
    std::vector<FeedbackPrimitive> drawn;
    for (const auto& row : savegames) {
        dir.writeFile(Savegame::fileName, row.savegame);
        start(create<MenueLVL>);
        drawn = drawTwice();
        EXPECT_EQ(row.offered, squares(drawn, 128).size()) << "level buttons for \"" << row.savegame << '"';
        EXPECT_EQ(row.medals, squares(drawn, MenueLVL::medalSize).size()) << "medals for \"" << row.savegame << '"';
    }
    // The last savegame's medals, centred on the bottom-right corners of the
    // buttons, whose bottom-left corners stand a fixed way below the window's top.
    std::set<Rect> medals;
    for (const auto& [x, y] : {std::pair{50, 518}, {250, 518}, {450, 518}, {250, 118}, {50, 318}, {250, 318},
                               {450, 318}})
        medals.insert(Rect(x + 128 - 32, y - 32, x + 128 + 32, y + 32));
    EXPECT_EQ(medals, squares(drawn, MenueLVL::medalSize));

    const char *gold = MenueLVL::goldMedalFile, *silver = MenueLVL::silverMedalFile;
    const std::pair<int32_t, const char*> medalFiles[] = {
        {0, nullptr}, {1, MenueLVL::bronzeMedalFile}, {2, silver}, {3, gold}, {5, gold}, {-1, gold}};
    for (const auto& [value, file] : medalFiles) {
        const Held<Texture2D> expected = file ? Held<Texture2D>(file) : Held<Texture2D>();
        EXPECT_EQ(expected.get(), dynamic_cast<MenueLVL&>(*screen).medalFor(value)) << "value " << value;
    }

    // Walked with keys and with the pad alone: the arrows move the highlight
    // to the nearest button in their direction (the first arrow lights the
    // first button), Enter or the pad's bottom button presses it, and the
    // pointer's hover and the highlight take turns.
    struct Step { std::vector<std::array<int, 3>> events; std::vector<std::string> lit; };
    const int down = SDL_HAT_DOWN, right = SDL_HAT_RIGHT, up = SDL_HAT_UP, left = SDL_HAT_LEFT;
    const struct { Factory make; std::vector<Step> steps; Action action; } walks[] = {
        {create<MenueMain>,
         {{{{SDL_KEYDOWN, SDLK_DOWN, 0}}, {".start game"}},
          {{{SDL_KEYUP, SDLK_DOWN, 0}, {SDL_KEYDOWN, SDLK_DOWN, 0}, {SDL_KEYDOWN, SDLK_RIGHT, 0}}, {".copyrights"}},
          {{{SDL_KEYDOWN, SDLK_DOWN, 0}}, {".quit game"}},
          {{{SDL_KEYDOWN, SDLK_DOWN, 0}}, {".quit game"}},
          {{{SDL_KEYDOWN, SDLK_UP, 0}}, {".copyrights"}},
          {{{SDL_MOUSEMOTION, 902, 530}}, {".start game"}}, // the pointer over ".start game" takes over
          {{{SDL_KEYDOWN, SDLK_UP, 0}, {SDL_KEYDOWN, SDLK_DOWN, 0}}, {".copyrights"}}, // and waits
          {{{SDL_KEYDOWN, SDLK_RETURN, 0}}, {".copyrights"}}},
         {"Menue", "Copyright"}},
        {create<MenueLVL>,
         {{{{SDL_JOYHATMOTION, right, 0}}, {"Level 1"}},
          {{{SDL_JOYHATMOTION, 0, 0}, {SDL_JOYHATMOTION, right, 0}}, {"Level 2"}},
          {{{SDL_JOYHATMOTION, 0, 0}, {SDL_JOYAXISMOTION, 1, 32767}}, {"Level 5"}},
          {{{SDL_JOYAXISMOTION, 1, 0}, {SDL_JOYAXISMOTION, 1, 32767}}, {"Special Level"}},
          {{{SDL_JOYAXISMOTION, 1, 0}, {SDL_JOYHATMOTION, right, 0}}, {".main menu"}},
          {{{SDL_JOYHATMOTION, up, 0}}, {"Level 6"}},
          {{{SDL_JOYHATMOTION, left, 0}, {SDL_JOYBUTTONDOWN, 1, 0}}, {"Level 5"}}, // another face button: no press
          {{{SDL_JOYHATMOTION, down, 0}, {SDL_JOYHATMOTION, up, 0}}, {"Level 5"}},
          {{{SDL_JOYBUTTONDOWN, 0, 0}}, {"Level 5"}}},
         {"Game", "resources/lvls/lvl2b.txt"}},
    };
    for (const auto& walk : walks) {
        Recording<Menue> menue;
        start(walk.make, &menue);
        SCOPED_TRACE(typeid(*screen).name());
        pointer(0, 0, false);
        for (std::size_t i = 0; i < walk.steps.size(); ++i) {
            const bool last = i + 1 == walk.steps.size();
            Mix_HaltChannel(-1);
            for (const auto& [type, a, b] : walk.steps[i].events)
                pushEvent(static_cast<Uint8>(type), a, b);
            EngineEnvironment::runEngineFrame();
            EXPECT_EQ(walk.steps[i].lit, litCaptions(captureFeedback([this] { screen->update(); }))) << "step " << i;
            EXPECT_EQ(last ? 1 : 0, plays(MenueMain::clickSoundFile)) << "step " << i;
            EXPECT_EQ(last ? std::vector{walk.action} : std::vector<Action>{}, menue.actions) << "step " << i;
        }
        releaseAllInput();
    }

    // Titles and result lines in font 3, body lines in font 2; the captions are
    // written with the font the screen's last frame left selected.
    const struct { Factory make; int width, height; std::vector<TextLine> texts; } screens[] = {
        {create<MenueMain>, 1024, 768,
         {{100, 648, "Welcome to Kerbolt 2008!", false, 3},
          {100, 588, "This is the new Version of the well known game 'Kerbolt'.", false, 2},
          {100, 568, "You still play the small character called 'Pimbo'. The bad news is,", false, 2},
          {100, 548, "that the nuclear bomb didn\x60t finish exploding yet. So your turn is to", false, 2},
          {100, 528, "flee from the Bomb and jump to a safe spot! I hope you can escape!", false, 2}}},
        // Centred in whole halves: an odd size rounds down.
        {create<MenueWonGold>, 800, 600,
         {{300, 310, "You have won Gold!", false, 3}, {300, 290, "Wonderful!", false, 3}}},
        {create<MenueWonSilver>, 801, 601,
         {{300, 310, "You have won Silver!", false, 3}, {300, 290, "Not bad! Not bad!", false, 3}}},
    };
    for (const auto& row : screens) {
        useWindow(row.width, row.height);
        start(row.make);
        SCOPED_TRACE(::testing::Message() << typeid(*screen).name() << " in " << row.width << " by " << row.height);
        const bool result = dynamic_cast<const MenueResult*>(screen.get()) != nullptr;
        EXPECT_EQ(result ? 1 : 0, plays(MenueResult::endSoundFile)) << "as the screen opens";
        const float buttons = row.width - 250 + 136.0f; // the captions of the three buttons come first
        const int left = row.texts.back().font;
        std::vector<TextLine> expected = {{buttons, 247, ".start game", false, left},
                                          {buttons, 197, ".copyrights", false, left},
                                          {buttons, 147, ".quit game", false, left}};
        expected.insert(expected.end(), row.texts.begin(), row.texts.end());
        EXPECT_EQ(expected, textLines(drawTwice(), true));
        EXPECT_EQ(0, plays(MenueResult::endSoundFile)) << "again in a frame";
    }
}

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

TEST_F(MenueTest, TheIslandTurnsForeverAndScreensSwitchOnTheNextFrameTheOldOneStoppingFirst)
{
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
