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

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using xwindows::Picture;

const std::string executable = KERBOLT_EXECUTABLE;
const fs::path shippedResources = fs::path(KERBOLT_SOURCE_DIR) / "resources";
const std::string freshSavegame = "0 0 0 0 0 0 0 ";

// The shipped window size: the level selection needs 768 rows to show the
// special level, 650 below the top.
constexpr int windowWidth = 1024;
constexpr int windowHeight = 768;
// Long enough for the game to see the button down in one frame and up in a later one.
constexpr auto clickHold = 300ms;
// The longest the game may take to show a screen, and the longest a wrong
// screen may stay before a test gives up on the one it waits for (a level
// loads within a second or two).
constexpr auto screenTimeout = 30s;
constexpr auto wrongScreenTimeout = 15s;

// A rectangle in GL window coordinates: from the bottom-left corner, y up.
struct Box {
    int left, bottom, width, height;
};

// The menu's text is near white; nothing in the menu's backdrop is.
bool textLike(uint32_t pixel)
{
    const int r = pixel >> 16 & 0xFF, g = pixel >> 8 & 0xFF, b = pixel & 0xFF;
    return r > 190 && g > 190 && b > 190;
}

// The orange of a widget under the pointer.
bool hoverLike(uint32_t pixel)
{
    const int r = pixel >> 16 & 0xFF, g = pixel >> 8 & 0xFF, b = pixel & 0xFF;
    return r > 235 && g > 140 && b < 160;
}

// The explosion's flames at the left edge of a round.
bool flameLike(uint32_t pixel)
{
    const int r = pixel >> 16 & 0xFF, b = pixel & 0xFF;
    return r > 200 && b < 120 && r - b > 120;
}

int countIn(const Picture& picture, const Box& box, bool (*test)(uint32_t))
{
    int count = 0;
    for (int y = box.bottom; y < box.bottom + box.height; ++y)
        for (int x = box.left; x < box.left + box.width; ++x)
            count += x >= 0 && y >= 0 && x < picture.width && y < picture.height && test(picture.atGl(x, y));
    return count;
}

// Where a main-screen button's caption stands: from 120 units left of the
// button's right edge, below the line 27 units above its bottom edge.
Box captionBox(int bottom)
{
    const int right = windowWidth - 250 + 256;
    return {right - 122, bottom + 6, 110, 22};
}

// A button's caption: near white, or orange while the pointer is over it.
bool showsButtonCaption(const Picture& picture, int bottom)
{
    const auto caption = [](uint32_t pixel) { return textLike(pixel) || hoverLike(pixel); };
    return countIn(picture, captionBox(bottom), caption) >= 25;
}

constexpr int startGameBottom = 220;
constexpr int copyrightsBottom = 170;
constexpr int quitGameBottom = 120; // ".main menu" on the level selection

bool showsMainButtons(const Picture& picture)
{
    return showsButtonCaption(picture, startGameBottom) && showsButtonCaption(picture, copyrightsBottom)
        && showsButtonCaption(picture, quitGameBottom);
}

// The result screens' two lines in the largest font, in the middle.
bool showsResultText(const Picture& picture)
{
    const Box middle{windowWidth / 2 - 100, windowHeight / 2 - 40, 260, 50};
    return countIn(picture, middle, textLike) >= 150;
}

// The credits screen looks alike; this session never opens it.
bool showsMainScreen(const Picture& picture)
{
    return showsMainButtons(picture) && !showsResultText(picture);
}

bool showsLostScreen(const Picture& picture)
{
    return showsMainButtons(picture) && showsResultText(picture);
}

// A column of flames down the left edge, below the overlay's text.
bool showsRound(const Picture& picture)
{
    const Box band{3, 0, 8, windowHeight - 80};
    return countIn(picture, band, flameLike) > band.width * band.height * 8 / 10
        && !showsButtonCaption(picture, quitGameBottom);
}

// The level selection's ".main menu" stands where ".quit game" stands on the
// main screen, its other two buttons are gone. (Each level button's place and
// picture are checked in-process: screens_test.cpp, widgets_test.cpp.)
bool showsLevelSelection(const Picture& picture)
{
    return showsButtonCaption(picture, quitGameBottom) && !showsButtonCaption(picture, startGameBottom)
        && !showsButtonCaption(picture, copyrightsBottom);
}

// The screen a picture shows, by name; "no screen" when none of them.
std::string screenOf(const Picture& picture)
{
    if (picture.width == 0)
        return "no window";
    const std::pair<const char*, bool (*)(const Picture&)> screens[] = {
        {"the main screen", showsMainScreen}, {"the level selection", showsLevelSelection},
        {"a round", showsRound}, {"the lost screen", showsLostScreen}};
    for (const auto& [name, shows] : screens)
        if (shows(picture))
            return name;
    return "no screen";
}

// The real game, its window and the working directory it runs in.
class EndToEnd : public ::testing::Test {
protected:
    // Waits until the window shows what `shows` looks for. Fails (fatally)
    // once another screen, or none, has stayed for wrongScreenTimeout, naming
    // what it saw.
    void waitFor(const std::string& what, bool (*shows)(const Picture&))
    {
        const auto start = std::chrono::steady_clock::now();
        auto since = start;
        std::string seen;
        while (true) {
            const Picture picture = xwindows::capture(window);
            if (picture.width > 0 && shows(picture))
                return;
            const auto now = std::chrono::steady_clock::now();
            if (const std::string screen = screenOf(picture); screen != seen)
                seen = screen, since = now;
            if (now - since > wrongScreenTimeout || now - start > screenTimeout)
                FAIL() << "waited for " << what << " but the window showed " << seen << " for "
                       << std::chrono::duration_cast<std::chrono::seconds>(now - since).count() << " s"
                       << "; stderr: " << program->standardError();
            std::this_thread::sleep_for(100ms);
        }
    }

    // A click at (x, y) in GL window coordinates, once `hovered` shows that the
    // game has seen the pointer there.
    void click(int x, int y, const std::function<bool(const Picture&)>& hovered) const
    {
        ASSERT_TRUE(xwindows::click(window, x, windowHeight - 1 - y, clickHold, hovered, wrongScreenTimeout))
            << "the pointer at (" << x << ", " << y << ") never lit up what is under it";
    }
    void clickMainButton(int bottom) const
    {
        click(windowWidth - 250 + 128, bottom + 18,
              [bottom](const Picture& shown) { return countIn(shown, captionBox(bottom), hoverLike) >= 25; });
    }
    ScopedWorkDir dir;
    std::unique_ptr<RunningProgram> program;
    unsigned long window = 0;
};

// A session in a fresh copy of the shipped resources: the main screen, the
// level selection, Level 1 lost to the explosion (the savegame left alone)
// and the lost screen; then, with the savegame gone, ".start game" ends the
// program with the open error, cleanly while its menu still holds things.
// Nothing was printed on standard output: every shipped file it opened
// loaded. (Closing the window is tried with every odd configuration, and the
// quit button in-process: robustness_test.cpp, application_test.cpp.)
TEST_F(EndToEnd, ALostRoundLeavesTheSavegameAloneAndWithoutOneTheLevelSelectionEndsTheProgram)
{
    const fs::path savegame = dir.path() / "resources/savegame";
    copyResources(shippedResources, dir.path() / "resources", freshSavegame);
    dir.writeFile("resources/config.cfg", configText({{"window_width", windowWidth}, {"window_height", windowHeight},
                                                      {"renderer_width", windowWidth},
                                                      {"renderer_height", windowHeight}}));
    const fs::file_time_type written = fs::last_write_time(savegame);
    xwindows::xdotool("mousemove 0 0"); // away from every button, wherever an earlier test left it
    program = std::make_unique<RunningProgram>(executable, dir.path(),
                                               std::map<std::string, std::string>{{"SDL_AUDIODRIVER", "dummy"}});
    window = xwindows::waitForWindow(program->pid(), "Quenor", screenTimeout);
    ASSERT_NE(0ul, window) << "no window titled Quenor appeared; stderr: " << program->standardError();
    ASSERT_NO_FATAL_FAILURE(waitFor("the main screen", showsMainScreen));
    const Picture shown = xwindows::capture(window);
    EXPECT_TRUE(shown.width == windowWidth && shown.height == windowHeight) << shown.width << " by " << shown.height;
    ASSERT_NO_FATAL_FAILURE(clickMainButton(startGameBottom));
    ASSERT_NO_FATAL_FAILURE(waitFor("the level selection", showsLevelSelection));
    // Level 1's button, 128 units square, 50 from the left and 250 below the top; its frame's left edge lights up.
    const Box frame{50, windowHeight - 250 + 32, 6, 64};
    ASSERT_NO_FATAL_FAILURE(click(50 + 64, windowHeight - 250 + 64,
                                  [frame](const Picture& shown) { return countIn(shown, frame, hoverLike) >= 64; }));
    ASSERT_NO_FATAL_FAILURE(waitFor("a round", showsRound));
    // Nobody runs: the explosion catches the player within seconds.
    ASSERT_NO_FATAL_FAILURE(waitFor("the lost screen", showsLostScreen));
    EXPECT_EQ(freshSavegame, readWholeFile(savegame));
    EXPECT_EQ(written, fs::last_write_time(savegame)) << "the savegame was written again";
    EXPECT_FALSE(fs::exists(dir.path() / "resources/savegame.new"));

    fs::remove(savegame);
    ASSERT_NO_FATAL_FAILURE(clickMainButton(startGameBottom));
    EXPECT_EQ(1, program->waitForExit(screenTimeout)) << "1, not a crash on the way out";
    EXPECT_EQ("Error: Cannot open or create file 'resources/savegame'\n", program->standardError());
    EXPECT_EQ("", program->standardOutput());
}

} // namespace
