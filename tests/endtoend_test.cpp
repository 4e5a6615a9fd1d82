// The real executable played like a person plays it: in a temporary copy of
// the shipped resources, under the test's X server, with the pointer and keys
// of xdotool, and judged by what its window shows, its exit status, its
// output and its savegame.

#include "program.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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
constexpr auto wrongScreenTimeout = 8s;

// A rectangle in GL window coordinates: from the bottom-left corner, y up.
struct Box {
    int left, bottom, width, height;
};

struct Rgb {
    int r, g, b;
};
Rgb rgb(uint32_t pixel)
{
    return {static_cast<int>(pixel >> 16 & 0xFF), static_cast<int>(pixel >> 8 & 0xFF), static_cast<int>(pixel & 0xFF)};
}

// The menu's text is near white; nothing in the menu's backdrop is.
bool textLike(uint32_t pixel)
{
    const auto [r, g, b] = rgb(pixel);
    return r > 190 && g > 190 && b > 190;
}

// The orange of a widget under the pointer.
bool hoverLike(uint32_t pixel)
{
    const auto [r, g, b] = rgb(pixel);
    return r > 235 && g > 140 && b < 160;
}

// A button's caption: near white, or orange while the pointer is over it.
bool captionLike(uint32_t pixel)
{
    return textLike(pixel) || hoverLike(pixel);
}

// The explosion's flames at the left edge of a round.
bool flameLike(uint32_t pixel)
{
    const auto [r, g, b] = rgb(pixel);
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

bool showsButtonCaption(const Picture& picture, int bottom)
{
    return countIn(picture, captionBox(bottom), captionLike) >= 25;
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

bool showsMainScreen(const Picture& picture)
{
    // "2008!" at the end of the welcome line; the credits' title is shorter.
    const Box welcomeTitleEnd{310, windowHeight - 145, 130, 25};
    return showsMainButtons(picture) && countIn(picture, welcomeTitleEnd, textLike) >= 100
        && !showsResultText(picture);
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

struct LevelSlot {
    const char* thumbnail;
    int left;
    int belowTop;
};

// The level buttons, 128 units square, in savegame order.
constexpr std::array<LevelSlot, 7> levelSlots = {{
    {"lvl1_thumb.png", 50, 250},
    {"lvl2_thumb.png", 250, 250},
    {"lvl3_thumb.png", 450, 250},
    {"lvl4_thumb.png", 250, 650},
    {"lvl5_thumb.png", 50, 450},
    {"lvl6_thumb.png", 250, 450},
    {"lvl7_thumb.png", 450, 450},
}};

// Mean difference per channel between the middle of a level button and its
// thumbnail, which the button shows mirrored left to right (the file is
// stored mirrored). The frame and the caption along the edges are left out.
double thumbnailDifference(const Picture& shown, const LevelSlot& slot)
{
    const Picture thumbnail = xwindows::readPng(shippedResources / "textures/lvls" / slot.thumbnail);
    if (thumbnail.width != 128 || thumbnail.height != 128)
        return 255.0;
    const int top = windowHeight - slot.belowTop + 128; // GL y of the button's top edge
    double sum = 0.0;
    int count = 0;
    for (int row = 24; row < 96; ++row)
        for (int column = 12; column < 116; ++column) {
            const Rgb a = rgb(shown.atGl(slot.left + column, top - 1 - row)), b = rgb(thumbnail.at(127 - column, row));
            sum += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
            count += 3;
        }
    return sum / count;
}

bool showsLevelSelection(const Picture& picture)
{
    for (const LevelSlot& slot : levelSlots)
        if (thumbnailDifference(picture, slot) > 4.0) // the two most alike thumbnails differ by 10
            return false;
    return showsButtonCaption(picture, quitGameBottom) && !showsButtonCaption(picture, startGameBottom);
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

// The parts of screens a picture shows, for a failure message.
std::string partsOf(const Picture& picture)
{
    int captions = 0, thumbnails = 0;
    for (const int bottom : {startGameBottom, copyrightsBottom, quitGameBottom})
        captions += showsButtonCaption(picture, bottom) ? 1 : 0;
    for (const LevelSlot& slot : levelSlots)
        thumbnails += thumbnailDifference(picture, slot) <= 4.0 ? 1 : 0;
    const Box band{3, 0, 8, windowHeight - 80};
    return std::to_string(captions) + " of 3 button captions, " + std::to_string(thumbnails) +
           " of 7 level thumbnails, " + (showsResultText(picture) ? "" : "no ") + "result text, " +
           std::to_string(countIn(picture, band, flameLike)) + " flame pixels at the left edge";
}

// The game in a fresh copy of the shipped resources with a new savegame,
// started and showing its window.
class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        copyResources(shippedResources, dir.path() / "resources", freshSavegame);
        dir.writeFile("resources/config.cfg",
                      configText({{"window_width", windowWidth}, {"window_height", windowHeight},
                                  {"renderer_width", windowWidth}, {"renderer_height", windowHeight}}));
        savegameWritten = fs::last_write_time(savegameFile());
    }

    void startGame()
    {
        // A key or button left down by an earlier program would reach this one.
        ASSERT_EQ("", xwindows::heldInput()) << "held down on the X server";
        // The pointer stays where an earlier test left it; away from every button.
        xwindows::xdotool("mousemove 0 0");
        program = std::make_unique<RunningProgram>(executable, dir.path(),
                                                   std::map<std::string, std::string>{{"SDL_AUDIODRIVER", "dummy"}});
        window = xwindows::waitForWindow(program->pid(), "Quenor", screenTimeout);
        ASSERT_NE(0ul, window) << "no window titled Quenor appeared; stderr: " << program->standardError();
    }

    fs::path savegameFile() const { return dir.path() / "resources/savegame"; }

    // Waits until the window shows what `shows` looks for, into *shown. Fails
    // (fatally) once another screen, or none, has stayed for
    // wrongScreenTimeout, naming what it saw and keeping the last picture.
    void waitFor(const std::string& what, bool (*shows)(const Picture&), Picture* shown = nullptr)
    {
        const auto start = std::chrono::steady_clock::now();
        auto since = start;
        std::string seen;
        while (true) {
            const Picture picture = xwindows::capture(window);
            if (picture.width > 0 && shows(picture)) {
                if (shown != nullptr)
                    *shown = picture;
                return;
            }
            const auto now = std::chrono::steady_clock::now();
            if (const std::string screen = screenOf(picture); screen != seen)
                seen = screen, since = now;
            if (now - since > wrongScreenTimeout || now - start > screenTimeout)
                FAIL() << "waited for " << what << " but the window showed " << seen << " for "
                       << std::chrono::duration_cast<std::chrono::seconds>(now - since).count() << " s ("
                       << partsOf(picture) << "); the last picture: " << keep(picture, what)
                       << "; stderr: " << program->standardError();
            std::this_thread::sleep_for(100ms);
        }
    }

    // Saves a picture for the person reading a failure, in the temporary folder.
    static std::string keep(const Picture& picture, const std::string& what)
    {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::string label = what;
        std::replace(label.begin(), label.end(), ' ', '-');
        const fs::path file = fs::temp_directory_path() / ("kerbolt-endtoend-" + name + "-" + label + ".png");
        return picture.savePng(file) ? file.string() : "(cannot be saved)";
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
    void clickLevel(const LevelSlot& slot) const
    {
        // The frame's left edge, beside the thumbnail.
        const Box frame{slot.left, windowHeight - slot.belowTop + 32, 6, 64};
        click(slot.left + 64, windowHeight - slot.belowTop + 64,
              [frame](const Picture& shown) { return countIn(shown, frame, hoverLike) >= frame.height; });
    }

    // From the main screen through the level selection into Level 1.
    void enterLevelOne()
    {
        ASSERT_NO_FATAL_FAILURE(waitFor("the main screen", showsMainScreen));
        ASSERT_NO_FATAL_FAILURE(clickMainButton(startGameBottom));
        ASSERT_NO_FATAL_FAILURE(waitFor("the level selection", showsLevelSelection));
        ASSERT_NO_FATAL_FAILURE(clickLevel(levelSlots[0]));
        ASSERT_NO_FATAL_FAILURE(waitFor("a round", showsRound));
    }

    void expectSavegameUntouched() const
    {
        EXPECT_EQ(freshSavegame, readWholeFile(savegameFile()));
        EXPECT_EQ(savegameWritten, fs::last_write_time(savegameFile())) << "the savegame was written again";
        EXPECT_FALSE(fs::exists(dir.path() / "resources/savegame.new"));
    }

    // A normal run prints nothing, and every shipped file loads.
    void expectQuietExit(int expectedStatus)
    {
        EXPECT_EQ(expectedStatus, program->waitForExit(screenTimeout));
        EXPECT_EQ("", program->standardOutput()) << "e.g. 'Loading standardfile instead...' for a file that failed";
        EXPECT_EQ("", program->standardError());
    }

    ScopedWorkDir dir;
    fs::file_time_type savegameWritten;
    std::unique_ptr<RunningProgram> program;
    unsigned long window = 0;
};

// Closing the window is tried with every odd configuration (robustness_test.cpp).
TEST_F(EndToEnd, ALostRoundLeavesTheSavegameAloneAndQuitGameEndsTheProgram)
{
    ASSERT_NO_FATAL_FAILURE(startGame());
    Picture shown;
    ASSERT_NO_FATAL_FAILURE(waitFor("the main screen", showsMainScreen, &shown));
    EXPECT_TRUE(shown.width == windowWidth && shown.height == windowHeight) << shown.width << " by " << shown.height;
    ASSERT_NO_FATAL_FAILURE(enterLevelOne());
    // Nobody runs: the explosion catches the player within seconds.
    ASSERT_NO_FATAL_FAILURE(waitFor("the lost screen", showsLostScreen));
    expectSavegameUntouched();

    ASSERT_NO_FATAL_FAILURE(clickMainButton(quitGameBottom));
    expectQuietExit(0);
}

TEST_F(EndToEnd, EscapeDuringARoundEndsTheProgramWithoutSaving)
{
    ASSERT_NO_FATAL_FAILURE(startGame());
    ASSERT_NO_FATAL_FAILURE(enterLevelOne());
    // The game ends on the press; the release follows once it is gone.
    const xwindows::HeldKey escape(window, "Escape");
    ASSERT_TRUE(escape.sent());
    expectQuietExit(0);
    expectSavegameUntouched();
}

// The level selection reads the savegame; without one the game ends with
// the open error, and it must end cleanly while its menu still holds things.
TEST_F(EndToEnd, WithoutASavegameTheLevelSelectionEndsTheProgramWithTheOpenError)
{
    fs::remove(savegameFile());
    ASSERT_NO_FATAL_FAILURE(startGame());
    ASSERT_NO_FATAL_FAILURE(waitFor("the main screen", showsMainScreen));
    ASSERT_NO_FATAL_FAILURE(clickMainButton(startGameBottom));
    EXPECT_EQ(1, program->waitForExit(screenTimeout)) << "1, not a crash on the way out";
    EXPECT_EQ("Error: Cannot open or create file 'resources/savegame'\n", program->standardError());
}

} // namespace
