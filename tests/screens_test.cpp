// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The menu screens with the shipped fonts: their actions, texts, level
// buttons and medals, and the holds they give back.

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
#include "world/savegame.h"
#include "resources/texture2d.h"

#include "engineenvironment.h"
#include "menufixture.h"

#include <SDL/SDL_mixer.h>

#include <algorithm>
#include <array>
#include <set>
#include <typeinfo>

namespace {

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

} // namespace
