// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Developer tool, not part of the game: proves every shipped level winnable.
//
//     levelcheck [--shots <folder>] [--only <level file name>] [<folder holding resources/>]
//
// Plays each level through the real round (terrain, player, camera, input
// fed with SDL key events, the timer ticking exactly 16 ms a frame) three
// times: a scripted runner that holds the right arrow and jumps when a pit
// lies ahead; the same runner keeping on screen, never more than 40 units
// right of the view centre (the view does not follow the player, so a
// runner further ahead crosses pits it cannot see); and a player who never
// presses a key. Prints a Markdown table: length, pits and their widths,
// frames and seconds to the end, the smallest lead over the explosion, the
// medals. Exits with 1 unless the runner wins gold and the idle player loses
// on every level. A lead under 10 units and an on-screen runner without gold
// are reported, not failed: tight levels are allowed when they are meant.
// With --shots it saves one picture of each level in play (<file stem>.png);
// --only plays the one level whose file has that name (lvl1.txt, ...).
//
// Needs an X display (xvfb-run works) and an audio driver (SDL_AUDIODRIVER=dummy).

#include "backbuffer.h"
#include "world/camera.h"
#include "world/game.h"
#include "world/heightmap.h"
#include "levelrunner.h"
#include "world/player.h"
#include "engine/quenor.h"
#include "engine/renderer.h"
#include "engine/timer.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct LevelEntry {
    const char* title;
    const char* file;
};

// The order of the level selection screen.
const LevelEntry levels[] = {
    {"Level 1", "resources/lvls/lvl1.txt"},      {"Level 2", "resources/lvls/lvl2.txt"},
    {"Level 3", "resources/lvls/lvl3.txt"},      {"Special Level", "resources/lvls/lvlSpecial.txt"},
    {"Level 4", "resources/lvls/lvl1b.txt"},     {"Level 5", "resources/lvls/lvl2b.txt"},
    {"Level 6", "resources/lvls/lvl3b.txt"},
};

using levelrunner::frameMs;
using levelrunner::HeldKeys;
using levelrunner::Pit;
using levelrunner::releaseAllKeys;
using levelrunner::Runner;

constexpr int frameLimit = 60 * 1000 / frameMs; // a minute of play
constexpr float tightLead = 10.0f;
constexpr float onScreenReach = 40.0f; // right of the view centre

enum class Style { runner, onScreen, idle };

// The round's time comes from here, so every frame lasts exactly frameMs.
uint32_t clockNow = 0;

struct Outcome {
    GAME_STATE state = GAME_STATE::RUNNING;
    int frames = 0;
    float smallestLead = std::numeric_limits<float>::infinity();
    float smallestLeadX = 0.0f;
    float endX = 0.0f;
};

struct LevelReport {
    LevelEntry level{};
    float length = 0.0f;
    float speed = 0.0f;
    std::vector<Pit> pits;
    Outcome runner;
    Outcome onScreen;
    Outcome idle;
};

// A frame worth a picture: past a third of the level, a whole pit and the
// player well inside the view around its centre.
bool showsPitAndPlayer(float viewCentre, float playerX, float length, const std::vector<Pit>& pits)
{
    const bool pitInView = std::any_of(pits.begin(), pits.end(), [viewCentre](const Pit& pit) {
        return pit.start > viewCentre - 40.0f && pit.end < viewCentre + 40.0f;
    });
    return playerX > length / 3.0f && pitInView && std::abs(playerX - viewCentre) < 45.0f;
}

class LevelPlayer {
public:
    explicit LevelPlayer(Quenor& engine)
        : engine(engine)
    {
    }

    // Plays one round in the given style; with a shot file, one picture
    // of the player near a pit, past a third of the level.
    Outcome play(const std::string& levelFile, Style style, const std::string& shotFile, LevelReport* report)
    {
        releaseAllKeys();
        Game game;
        game.start(levelFile);
        const Heightmap& terrain = *game.getTerrain();
        const Player& player = *game.getPlayer();
        const float y = player.getY();
        const std::vector<Pit> pits = levelrunner::findPits(terrain, y);
        if (report) {
            report->length = terrain.getLengthX();
            report->speed = game.getBaseSpeed();
            report->pits = pits;
        }
        Runner runner(terrain, y, pits);
        const Camera& camera = *game.getCamera();
        const float scrollEnd = Game::scrollEndMargin - terrain.getLengthX();

        Outcome outcome;
        HeldKeys keys;
        bool shotTaken = shotFile.empty();
        while (outcome.state == GAME_STATE::RUNNING && outcome.frames < frameLimit) {
            const bool jumpNow = style != Style::idle && !keys.spaceHeld() && runner.wantsJump(player);
            // Waiting for the view only on the ground: a jump is walked to its end.
            const bool walk = style == Style::runner || (style == Style::onScreen
                && (jumpNow || player.isJumping() || camera.getX() <= scrollEnd
                    || player.getX() < -camera.getX() + onScreenReach));
            keys.set(walk, jumpNow);
            nextFrame();
            outcome.state = game.update();
            ++outcome.frames;
            const float lead = player.getX() - (-camera.getX() - Game::catchDistance);
            if (lead < outcome.smallestLead) {
                outcome.smallestLead = lead;
                outcome.smallestLeadX = player.getX();
            }
            if (!shotTaken && showsPitAndPlayer(-camera.getX(), player.getX(), terrain.getLengthX(), pits)) {
                saveBackBufferPng(shotFile);
                shotTaken = true;
            }
        }
        outcome.endX = player.getX();
        game.stop();
        releaseAllKeys();
        return outcome;
    }

    // Lets the engine run between two rounds' frames: buffer swap, events, clear, timer.
    void nextFrame()
    {
        clockNow += frameMs;
        engine.update();
    }

private:
    Quenor& engine;
};

std::string fixed(float value, int decimals)
{
    std::ostringstream text;
    text.setf(std::ios::fixed);
    text.precision(decimals);
    text << value;
    return text.str();
}

std::string widths(const std::vector<Pit>& pits)
{
    std::string text;
    for (const Pit& pit : pits)
        text += (text.empty() ? "" : " ") + fixed(pit.end - pit.start, 1);
    return text.empty() ? "-" : text;
}

std::string describe(const Outcome& outcome)
{
    return std::string(gameStateName(outcome.state)) + " at x " + fixed(outcome.endX, 1);
}

std::string played(const Outcome& outcome)
{
    return describe(outcome) + " | " + std::to_string(outcome.frames) + " ("
        + fixed(static_cast<float>(outcome.frames) * frameMs / 1000.0f, 2) + " s) | "
        + fixed(outcome.smallestLead, 1) + " (" + fixed(outcome.smallestLeadX, 0) + ")";
}

void printTable(const std::vector<LevelReport>& reports)
{
    std::cout << "| level | file | length | speed | pits: widths | runner | frames | smallest lead (at x) "
                 "| on-screen runner | frames | smallest lead (at x) | idle player |\n"
              << "|---|---|---|---|---|---|---|---|---|---|---|---|\n";
    for (const LevelReport& r : reports) {
        const std::string file = std::filesystem::path(r.level.file).filename().string();
        std::cout << "| " << r.level.title << " | " << file << " | " << fixed(r.length, 0) << " | "
                  << fixed(r.speed, 3) << " | " << r.pits.size() << ": " << widths(r.pits) << " | "
                  << played(r.runner) << " | " << played(r.onScreen) << " | " << describe(r.idle) << " after "
                  << r.idle.frames << " frames |\n";
    }
}

void noteTightLead(const std::string& title, const char* who, const Outcome& outcome)
{
    if (outcome.smallestLead < tightLead)
        std::cout << "note: " << title << ": the " << who << "'s lead falls to " << fixed(outcome.smallestLead, 1)
                  << " at x " << fixed(outcome.smallestLeadX, 0) << " (under " << tightLead << ")\n";
}

// Lists what fails the check and notes the tight levels; true when all passed.
bool judge(const std::vector<LevelReport>& reports)
{
    bool passed = true;
    std::cout << '\n';
    for (const LevelReport& r : reports) {
        if (r.runner.state != GAME_STATE::GOLD) {
            std::cout << "FAIL: " << r.level.title << ": the runner ends " << describe(r.runner) << ", not GOLD\n";
            passed = false;
        }
        if (r.idle.state != GAME_STATE::LOST) {
            std::cout << "FAIL: " << r.level.title << ": the idle player ends " << describe(r.idle) << ", not LOST\n";
            passed = false;
        }
        if (r.onScreen.state != GAME_STATE::GOLD)
            std::cout << "note: " << r.level.title << ": the on-screen runner ends " << describe(r.onScreen) << "\n";
        noteTightLead(r.level.title, "runner", r.runner);
        noteTightLead(r.level.title, "on-screen runner", r.onScreen);
    }
    std::cout << (passed ? "All levels: GOLD for the runner, LOST for the idle player.\n" : "Level check failed.\n");
    return passed;
}

int run(const std::string& root, const std::string& shots, const std::string& only)
{
    std::filesystem::current_path(root);
    Quenor engine;
    engine.start();
    Timer::getInstance().setTickSource([] { return clockNow; });
    LevelPlayer player(engine);
    player.nextFrame(); // the first delta after switching clocks means nothing

    std::vector<LevelReport> reports;
    for (const LevelEntry& level : levels) {
        if (!only.empty() && std::filesystem::path(level.file).filename() != only)
            continue;
        LevelReport report;
        report.level = level;
        const std::string shot =
            shots.empty() ? "" : (std::filesystem::path(shots) / std::filesystem::path(level.file).stem()).string() + ".png";
        report.runner = player.play(level.file, Style::runner, "", &report);
        report.onScreen = player.play(level.file, Style::onScreen, shot, nullptr);
        report.idle = player.play(level.file, Style::idle, "", nullptr);
        if (!shot.empty() && !std::filesystem::exists(shot))
            std::cout << "note: " << level.title << ": no frame showed a pit and the player together\n";
        reports.push_back(report);
    }
    Timer::getInstance().setTickSource({});
    engine.stop();

    std::cout << "Level check: " << reports.size() << " levels, " << frameMs << " ms a frame\n\n";
    if (reports.empty()) {
        std::cout << "No level file is called '" << only << "'.\n";
        return 1;
    }
    printTable(reports);
    return judge(reports) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::string root = ".";
    std::string shots;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--shots" && i + 1 < argc)
            shots = std::filesystem::absolute(argv[++i]).string();
        else if (argument == "--only" && i + 1 < argc)
            only = argv[++i];
        else
            root = argument;
    }
    try {
        return run(root, shots, only);
    } catch (const std::exception& error) {
        std::cerr << "Error: " << error.what() << std::endl;
        return 1;
    }
}
