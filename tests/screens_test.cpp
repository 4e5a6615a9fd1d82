// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The menu screens with the shipped fonts: their actions, texts, level
// buttons and medals, and the holds they give back.

#include "menue.h"
#include "menuecopyright.h"
#include "menuelost.h"
#include "menuelvl.h"
#include "menuemain.h"
#include "menuewonbronze.h"
#include "menuewongold.h"
#include "menuewonsilver.h"
#include "savegame.h"
#include "texture2d.h"

#include "menufixture.h"

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

    ResourceManager& manager = ResourceManager::getInstance();
    const char *gold = MenueLVL::goldMedalFile, *silver = MenueLVL::silverMedalFile;
    const std::pair<int32_t, const char*> medalFiles[] = {
        {0, nullptr}, {1, MenueLVL::bronzeMedalFile}, {2, silver}, {3, gold}, {5, gold}, {-1, gold}};
    for (const auto& [value, file] : medalFiles) {
        const Texture2D* expected = file ? manager.getResource<Texture2D>(file) : nullptr;
        EXPECT_EQ(expected, dynamic_cast<MenueLVL&>(*screen).medalFor(value)) << "value " << value;
        manager.releaseResource(expected);
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
