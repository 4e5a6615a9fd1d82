// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "menu/actionlistener.h"
#include "menu/appstate.h"
#include "world/gamestate.h"
#include "engine/singleton.h"
#include "engine/task.h"

#include <memory>
#include <string>

class Game;
class Menue;

// The game on top of the engine: the menu until a level is chosen, then the
// round, then the menu's result screen, and so on until the player quits.
// Escape held (closing the window counts as Escape) ends the program from
// anywhere. Every frame that goes on shows the title, frames per second and
// the frame time in the top-left corner.
//
// P (or the pad's Start, which acts as P) pauses a round, and so does the
// player's leaving the window. A paused round stands still under the words
// "Paused" and how to go on, with its sounds paused; P or a click goes on,
// and the time it stood still never reaches it.
class Application : public Task, public ActionListener {
public:
    static constexpr const char* titleText = "Quenor :: beta 1";
    static constexpr const char* pausedText = "Paused";
    static constexpr const char* goOnText = "P, Start or a click goes on";

    static Application& getInstance() { return SingletonSlot<Application>::get(); }
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Shows the loading picture, loads the fonts and opens the main screen:
    // showLoadingPicture() and then load().
    void start() override;
    // The two steps of start(), for a frame loop that hands control back in
    // between (a browser shows the picture only then).
    static void showLoadingPicture();
    void load();
    // One frame: Escape, then the work of the current state, then the
    // overlay. False once the program is to end; nothing is drawn then.
    // Before start() (state GAME without a round) it does nothing.
    bool update() override;
    // Stops the menu and the round, whichever exist, and gives the fonts back.
    void stop() override;
    // ("Game", level file) plays that level from the next frame and
    // ("Menue", "ShutDown") ends the program; anything else changes nothing.
    void actionPerformed(const std::string& sender, const std::string& command) override;

    // The result screen for a round's answer: the medal's screen, or the
    // lost screen for LOST and for any answer that is not a medal. Only
    // rounds that get a medal's screen are saved.
    static APP_STATE resultScreen(GAME_STATE result);

    APP_STATE getState() const { return state; }
    const std::string& getLevelFile() const { return levelFile; }
    // Null while not shown or played.
    const Menue* getMenue() const { return menue.get(); }
    Game* getGame() { return game.get(); }
    const Game* getGame() const { return game.get(); }

    // The top-left corner's title, frames per second and frame time, in the
    // 2D projection; every frame of update() ends with it. Needs the fonts.
    static void drawOverlay();

private:
    friend class SingletonSlot<Application>;
    Application();

    void loadGame();
    void playRound();
    void pauseRound();
    // The paused round's frame; P or a click goes on from the next frame.
    void showPausedRound();
    static void drawPauseNotice();
    // Ends the round and opens the result screen that belongs to its answer.
    void finishRound(GAME_STATE result);
    void openMenue(APP_STATE screen);
    void closeMenue();
    void closeGame();
    void saveResult(GAME_STATE medal) const;

    bool started = false;
    APP_STATE state = APP_STATE::GAME;
    std::string levelFile;
    std::unique_ptr<Menue> menue;
    std::unique_ptr<Game> game;
};
