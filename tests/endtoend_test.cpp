// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The real executable played like a person plays it: in a temporary copy of
// the shipped resources, under the test's X server, with the pointer of
// xdotool, and judged by what its window shows, its exit status, its
// output and its savegame.

#include "program.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using xwindows::Picture;

const std::string freshSavegame = "0 0 0 0 0 0 0 ";

// The shipped window size: the level selection needs 768 rows to show the
// special level, 650 below the top.
constexpr int windowWidth = 1024;
constexpr int windowHeight = 768;
// The longest the game may take to show what a step waits for (a level
// loads within a second or two; sanitizer builds on a loaded machine are slower).
constexpr auto screenTimeout = 30s;

// A rectangle in GL window coordinates: from the bottom-left corner, y up.
struct Box {
    int left, bottom, width, height;
};

// The pixels of the box that pass the test; any part outside the picture counts none.
int countIn(const Picture& picture, const Box& box, bool (*test)(int r, int g, int b))
{
    int count = 0;
    for (int y = box.bottom; y < std::min(box.bottom + box.height, picture.height); ++y) {
        for (int x = box.left; x < std::min(box.left + box.width, picture.width); ++x) {
            const uint32_t pixel = picture.atGl(x, y);
            count += test(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF);
        }
    }
    return count;
}

// The orange of a widget under the pointer.
bool hoverLike(int r, int g, int b)
{
    return r > 235 && g > 140 && b < 160;
}

// A column of the explosion's flames down the left edge of a round, below the overlay's text.
bool showsRound(const Picture& picture)
{
    const Box band{3, 0, 8, windowHeight - 80};
    const auto flame = [](int r, int, int b) { return r > 200 && b < 120 && r - b > 120; };
    return countIn(picture, band, flame) > band.width * band.height * 8 / 10;
}

// The menu's text is near white; nothing in its backdrop is.
bool textLike(int r, int g, int b)
{
    return r > 190 && g > 190 && b > 190;
}

// Where the captions of ".start game" and ".quit game" (".main menu" on the level selection) stand.
constexpr Box startCaption{windowWidth - 116, 226, 110, 22}, quitCaption{windowWidth - 116, 126, 110, 22};

// The level selection: no ".start game" (white, or orange under the pointer),
// but ".main menu" where ".quit game" stands.
bool showsLevelSelection(const Picture& picture)
{
    return countIn(picture, startCaption, textLike) + countIn(picture, startCaption, hoverLike) == 0
        && countIn(picture, quitCaption, textLike) >= 25;
}

// A result screen: its two lines in the largest font in the middle, and ".quit game".
bool showsResultScreen(const Picture& picture)
{
    return countIn(picture, {windowWidth / 2 - 100, windowHeight / 2 - 40, 260, 50}, textLike) >= 150
        && countIn(picture, quitCaption, textLike) >= 25;
}

class EndToEnd : public ::testing::Test {
protected:
    void waitFor(const std::string& what, bool (*shows)(const Picture&)) const
    {
        ASSERT_TRUE(shows(xwindows::waitForPicture(window, shows, screenTimeout)))
            << "waited " << screenTimeout.count() << " s for " << what << "; stderr: " << program->standardError();
    }

    // A click once the game shows the pointer over a caption or frame: (x, y)
    // in GL window coordinates, at least `least` pixels of the box lit in orange.
    void click(int x, int y, const Box& lit, int least = 25) const
    {
        const auto hovered = [=](const Picture& shown) { return countIn(shown, lit, hoverLike) >= least; };
        ASSERT_TRUE(xwindows::click(window, x, windowHeight - 1 - y, 300ms, hovered, screenTimeout))
            << "the pointer at (" << x << ", " << y << ") never lit up what is under it";
    }
    // ".start game", 220 above the bottom on the main and the result screens.
    void clickStartGame() const { click(windowWidth - 250 + 128, 238, startCaption); }

    ScopedWorkDir dir;
    std::unique_ptr<RunningProgram> program;
    unsigned long window = 0;
};

// A session in a fresh copy of the shipped resources: the main screen, the
// level selection, Level 1 lost to the explosion (the savegame left alone)
// and the lost screen; then, with the savegame gone, ".start game" ends the
// program with the open error, cleanly while its menu still holds things.
// Nothing was printed on standard output: every shipped file it opened loaded.
TEST_F(EndToEnd, ALostRoundLeavesTheSavegameAloneAndWithoutOneTheLevelSelectionEndsTheProgram)
{
    const fs::path savegame = dir.path() / "resources/savegame";
    copyResources(fs::path(KERBOLT_SOURCE_DIR) / "resources", dir.path() / "resources", freshSavegame);
    dir.writeFile("resources/config.cfg", configText({{"window_width", windowWidth}, {"window_height", windowHeight},
                                                      {"renderer_width", windowWidth},
                                                      {"renderer_height", windowHeight}}));
    const fs::file_time_type written = fs::last_write_time(savegame);
    xwindows::xdotool("mousemove 0 0"); // away from every button, wherever an earlier test left it
    program = std::make_unique<RunningProgram>(KERBOLT_EXECUTABLE, dir.path(),
                                               std::map<std::string, std::string>{{"SDL_AUDIODRIVER", "dummy"}});
    window = xwindows::waitForWindow(program->pid(), "Quenor", screenTimeout);
    ASSERT_NE(0ul, window) << "no window titled Quenor appeared; stderr: " << program->standardError();
    ASSERT_NO_FATAL_FAILURE(clickStartGame());
    const Picture shown = xwindows::capture(window);
    EXPECT_TRUE(shown.width == windowWidth && shown.height == windowHeight) << shown.width << " by " << shown.height;
    ASSERT_NO_FATAL_FAILURE(waitFor("the level selection", showsLevelSelection));
    // Level 1's button, 128 units square, 50 from the left and 250 below the top; its frame's left edge lights up.
    ASSERT_NO_FATAL_FAILURE(click(50 + 64, windowHeight - 250 + 64, {50, windowHeight - 250 + 32, 6, 64}, 64));
    ASSERT_NO_FATAL_FAILURE(waitFor("a round", showsRound));
    // Nobody runs: the explosion catches the player within seconds.
    ASSERT_NO_FATAL_FAILURE(waitFor("the lost screen", showsResultScreen));
    EXPECT_EQ(freshSavegame, readWholeFile(savegame));
    EXPECT_EQ(written, fs::last_write_time(savegame)) << "the savegame was written again";
    EXPECT_FALSE(fs::exists(dir.path() / "resources/savegame.new"));

    fs::remove(savegame);
    ASSERT_NO_FATAL_FAILURE(clickStartGame());
    EXPECT_EQ(1, program->waitForExit(screenTimeout)) << "1, not a crash on the way out";
    EXPECT_EQ("Error: Cannot open or create file 'resources/savegame'\n", program->standardError());
    EXPECT_EQ("", program->standardOutput());
}

} // namespace
