// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Developer tool, not part of the game: plays through the whole game in one
// session and saves the pictures of the README and docs/:
//
//     screenshots <folder holding resources/> <output folder>
//
// screen-main.png, screen-credits.png, screen-gold.png, screen-silver.png,
// screen-bronze.png, screen-lost.png, screenshot-levels.png (with the medals
// just won) and screenshot-round.png (Level 1, the player jumping near the
// view centre), which tools/screenshots.sh turns into JPEG files. The application runs as in the game, frame by frame, on a
// clock that advances exactly 16 ms a frame; the menu buttons are clicked
// with SDL mouse events. The won rounds are ended by putting the player
// where the medal is won, so the pictures do not depend on how well a
// script plays. It writes the folder's savegame: use a copy
// (tools/screenshots.sh makes one).
//
// Needs an X display (xvfb-run works) and an audio driver (SDL_AUDIODRIVER=dummy).

#include "app/application.h"
#include "backbuffer.h"
#include "world/camera.h"
#include "engine/config.h"
#include "world/game.h"
#include "world/heightmap.h"
#include "world/player.h"
#include "engine/quenor.h"
#include "engine/renderer.h"
#include "engine/timer.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <exception>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr uint32_t frameMs = 16;
constexpr int settleFrames = 40; // lets the menu's backdrop turn and a new screen draw

uint32_t clockNow = 0;

void pushEvent(SDL_Event event)
{
    if (SDL_PushEvent(&event) != 0)
        throw std::runtime_error("the SDL event queue is full");
}

void pushKey(Uint8 type, SDLKey sym)
{
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = sym;
    pushEvent(event);
}

void pushButton(Uint8 type)
{
    SDL_Event event{};
    event.button = {type, 0, SDL_BUTTON_LEFT, type == SDL_MOUSEBUTTONDOWN ? Uint8{SDL_PRESSED} : Uint8{SDL_RELEASED},
                    0, 0};
    pushEvent(event);
}

void pushMotion(int x, int y)
{
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = static_cast<Uint16>(x);
    event.motion.y = static_cast<Uint16>(y);
    pushEvent(event);
}

class Session {
public:
    Session(Quenor& engine, std::filesystem::path output)
        : engine(engine)
        , output(std::move(output))
    {
    }

    // One frame of the game; with a file name, the frame is saved first.
    void frame(const std::string& shot = "")
    {
        if (!app.update())
            throw std::runtime_error("the application ended unexpectedly");
        if (!shot.empty()) {
            saveBackBufferPng((output / shot).string());
            std::cout << "wrote " << (output / shot).string() << '\n';
        }
        clockNow += frameMs;
        engine.update();
    }

    void frames(int count)
    {
        for (int i = 0; i < count; ++i)
            frame();
    }

    // Clicks the menu button whose centre is at (x, y), GL window coordinates.
    // An event reaches the application in the frame after it is pushed, so
    // the button sees the click in the fourth frame.
    void click(int x, int y)
    {
        pushMotion(x, Config::get("window_height") - y);
        frame();
        pushButton(SDL_MOUSEBUTTONDOWN);
        frame();
        pushButton(SDL_MOUSEBUTTONUP);
        frame();
        frame();
        pushMotion(0, 0); // no button of the next screen is highlighted in its picture
    }

    // The three buttons on the right of the main, credits and result screens.
    void clickMainButton(int bottom) { click(Config::get("window_width") - 250 + 128, bottom + 18); }
    void clickStartGame() { clickMainButton(220); }
    void clickCopyrights() { clickMainButton(170); }

    // Starts the level as its level button does and lets the round load.
    Game& startRound(const std::string& levelFile)
    {
        app.actionPerformed("Game", levelFile);
        frame();
        if (app.getGame() == nullptr)
            throw std::runtime_error("the round did not start: " + levelFile);
        return *app.getGame();
    }

    // Ends the round at once with the medal won at this share of the length.
    void winAt(const std::string& levelFile, float lengthShare, const std::string& shot)
    {
        Game& game = startRound(levelFile);
        Player& player = *game.getPlayer();
        player.setPosition(lengthShare * game.getTerrain()->getLengthX(), player.getY(), 0.0f);
        frame();
        settleAndSave(shot);
    }

    void loseIdle(const std::string& levelFile, const std::string& shot)
    {
        startRound(levelFile);
        while (app.getState() == APP_STATE::GAME)
            frame();
        settleAndSave(shot);
    }

    // Runs right from the start and jumps once the player is near the view
    // centre; the picture is taken high in the jump.
    void playRound(const std::string& levelFile, const std::string& shot)
    {
        startRound(levelFile);
        pushKey(SDL_KEYDOWN, SDLK_RIGHT);
        while (round().getPlayer()->getX() < -round().getCamera()->getX() - 10.0f)
            frame();
        pushKey(SDL_KEYDOWN, SDLK_SPACE);
        frames(20);
        round(); // still running
        frame(shot);
        pushKey(SDL_KEYUP, SDLK_SPACE);
        pushKey(SDL_KEYUP, SDLK_RIGHT);
    }

    // The round in play; throws when it has ended.
    Game& round()
    {
        if (app.getGame() == nullptr)
            throw std::runtime_error("the round ended before its picture was taken");
        return *app.getGame();
    }

    void settleAndSave(const std::string& shot)
    {
        frames(settleFrames);
        frame(shot);
    }

private:
    Quenor& engine;
    Application& app = Application::getInstance();
    std::filesystem::path output;
};

void run(const std::filesystem::path& root, const std::filesystem::path& output)
{
    std::filesystem::current_path(root);
    Quenor engine;
    engine.start();
    Timer::getInstance().setTickSource([] { return clockNow; });
    Application& app = Application::getInstance();
    app.start();

    Session session(engine, output);
    session.settleAndSave("screen-main.png");
    session.clickCopyrights();
    session.settleAndSave("screen-credits.png");
    session.winAt("resources/lvls/lvl1.txt", 1.0f, "screen-gold.png");
    session.winAt("resources/lvls/lvl2.txt", 0.8f, "screen-silver.png");
    session.winAt("resources/lvls/lvl3.txt", 0.6f, "screen-bronze.png");
    session.loseIdle("resources/lvls/lvlSpecial.txt", "screen-lost.png");
    session.clickStartGame();
    session.settleAndSave("screenshot-levels.png");
    session.playRound("resources/lvls/lvl1.txt", "screenshot-round.png");

    app.stop();
    SingletonSlot<Application>::destroy();
    Timer::getInstance().setTickSource({});
    engine.stop();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: screenshots <folder holding resources/> <output folder>\n";
        return 2;
    }
    try {
        const std::filesystem::path output = std::filesystem::absolute(argv[2]);
        std::filesystem::create_directories(output);
        run(argv[1], output);
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "Error: " << error.what() << std::endl;
        return 1;
    }
}
