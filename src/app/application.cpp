// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/application.h"

#include "engine/config.h"
#include "resources/fontwriter.h"
#include "world/game.h"
#include "engine/input.h"
#include "app/loader.h"
#include "menu/menue.h"
#include "platform/platform.h"
#include "engine/renderer.h"
#include "world/savegame.h"
#include "engine/timer.h"

#include <SDL/SDL_mixer.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

namespace {

// A label and a decimal number in a buffer of its own: the overlay is
// written every frame, and a string built for it would cost a heap
// allocation each time.
class OverlayLine {
public:
    std::string_view show(std::string_view label, uint32_t value)
    {
        char* const end = std::copy_n(label.begin(), std::min(label.size(), text.size()), text.begin());
        const auto [last, error] = std::to_chars(end, text.data() + text.size(), value);
        return {text.data(), static_cast<std::size_t>((error == std::errc{} ? last : end) - text.data())};
    }

private:
    // Room for the overlay's labels and the ten digits of any value.
    std::array<char, 40> text{};
};

} // namespace

APP_STATE Application::resultScreen(GAME_STATE result)
{
    switch (result) {
    case GAME_STATE::BRONZE:
        return APP_STATE::MENUE_BRONZE;
    case GAME_STATE::SILVER:
        return APP_STATE::MENUE_SILVER;
    case GAME_STATE::GOLD:
        return APP_STATE::MENUE_GOLD;
    default:
        return APP_STATE::MENUE_LOST;
    }
}

Application::Application() = default;

// The menu and the round stop themselves as they are destroyed.
Application::~Application() = default;

void Application::start()
{
    showLoadingPicture();
    load();
}

void Application::showLoadingPicture()
{
    Loader::show();
}

void Application::load()
{
    // Set first, so that stop() also gives back the fonts of a load that failed halfway.
    started = true;
    FontWriter::getInstance().load();
    openMenue(APP_STATE::MENUE_MAIN);
}

bool Application::update()
{
    if (Input::getInstance().isKeyHeld(Input::escapeSym))
        state = APP_STATE::SHUTDOWN;
    switch (state) {
    case APP_STATE::MENUE:
        if (menue)
            menue->update(); // its answer is for the menu itself
        break;
    case APP_STATE::LOADGAME:
        loadGame();
        break;
    case APP_STATE::GAME:
        playRound();
        break;
    case APP_STATE::PAUSED:
        showPausedRound();
        break;
    case APP_STATE::SHUTDOWN:
        return false;
    default:
        break;
    }
    // Without the fonts (before start, after stop) there is nothing to write with.
    if (started)
        drawOverlay();
    return true;
}

void Application::loadGame()
{
    closeMenue();
    game = std::make_unique<Game>();
    game->start(levelFile);
    Platform::roundRunning(true);
    // The round's first frame must not count the loading as time played:
    // measured from the previous frame, it would move everything by the
    // whole loading time at once.
    Timer::getInstance().restartFrame();
    state = APP_STATE::GAME;
}

void Application::playRound()
{
    if (!game)
        return;
    const Input& input = Input::getInstance();
    if (input.wasPressed(SDLK_p) || input.hasLeftWindow()) {
        // At once: the frame that brings the news may carry the seconds the
        // player was away.
        pauseRound();
        return;
    }
    const GAME_STATE result = game->update();
    if (result != GAME_STATE::RUNNING)
        finishRound(result);
}

void Application::pauseRound()
{
    state = APP_STATE::PAUSED;
    Mix_Pause(-1);
    game->draw();
    drawPauseNotice();
}

void Application::showPausedRound()
{
    if (!game)
        return;
    game->draw();
    const Input& input = Input::getInstance();
    if (input.wasPressed(SDLK_p) || input.wasClicked()) {
        // The round moves again from the next frame, whose time is measured
        // from now: not one millisecond of the pause reaches it.
        state = APP_STATE::GAME;
        Mix_Resume(-1);
        Timer::getInstance().restartFrame();
        return;
    }
    drawPauseNotice();
}

void Application::drawPauseNotice()
{
    const int32_t middleX = Config::get("window_width") / 2;
    const int32_t middleY = Config::get("window_height") / 2;
    Renderer::getInstance().setOrtho();
    FontWriter& writer = FontWriter::getInstance();
    writer.selectFont(3);
    writer.write2D(pausedText, middleX - 50, middleY + 30);
    writer.selectFont(2);
    writer.write2D(goOnText, middleX - 130, middleY - 10);
}

void Application::finishRound(GAME_STATE result)
{
    closeGame();
    const APP_STATE screen = resultScreen(result);
    if (screen != APP_STATE::MENUE_LOST)
        saveResult(result);
    openMenue(screen);
    // Nor must the menu's first frame count the loading of its backdrop
    // (its spin would jump by the loading time).
    Timer::getInstance().restartFrame();
}

void Application::openMenue(APP_STATE screen)
{
    menue = std::make_unique<Menue>();
    menue->start(screen);
    menue->setActionListener(this, "", "");
    state = APP_STATE::MENUE;
}

void Application::closeMenue()
{
    if (!menue)
        return;
    menue->stop();
    menue.reset();
}

void Application::closeGame()
{
    if (!game)
        return;
    game->stop();
    game.reset();
    Platform::roundRunning(false);
    Mix_Resume(-1); // a round ended while paused leaves no sound paused
}

void Application::saveResult(GAME_STATE medal) const
{
    if (Savegame::saveMedal(levelFile, medal))
        Platform::savegameWritten();
}

void Application::drawOverlay()
{
    const int32_t windowHeight = Config::get("window_height");
    const Timer& timer = Timer::getInstance();
    Renderer::getInstance().setOrtho();
    FontWriter& writer = FontWriter::getInstance();
    writer.selectFont(1);
    writer.setHighlight(true);
    writer.write2D(titleText, 0, windowHeight - 5);
    writer.setHighlight(false);
    OverlayLine line;
    writer.write2D(line.show("Frames per Second: ", timer.getFps()), 10, windowHeight - 20);
    writer.write2D(line.show("Ticks: ", timer.getDelta()), 10, windowHeight - 35);
}

void Application::actionPerformed(const std::string& sender, const std::string& command)
{
    if (sender == "Game") {
        levelFile = command;
        state = APP_STATE::LOADGAME;
    } else if (sender == "Menue" && command == "ShutDown") {
        state = APP_STATE::SHUTDOWN;
    }
}

void Application::stop()
{
    closeMenue();
    closeGame();
    if (started)
        FontWriter::getInstance().unload();
    started = false;
}
