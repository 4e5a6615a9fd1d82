// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Kerbolt 2008: start the engine, alternate between the application and the
// engine's tasks until the application asks to stop, then shut down.

#include "app/application.h"
#include "platform/platform.h"
#include "engine/quenor.h"

#include <SDL/SDL.h>

#include <exception>
#include <iostream>
#include <optional>

namespace {

// Lives as long as the program: in the browser the frames run after main has
// handed control back to the page.
Quenor engine;

// After a fatal error the menu or the round may still hold resources. They
// are given back here, while the resource manager and the OpenGL context
// exist: left to the end of the program, the application's destruction would
// reach a resource manager that is already gone.
void stopApplicationAfterError()
{
    if (!SingletonSlot<Application>::exists())
        return;
    try {
        Application::getInstance().stop();
    } catch (const std::exception& error) {
        std::cerr << "Error: " << error.what() << std::endl;
    }
    SingletonSlot<Application>::destroy();
}

// Reports a fatal error and answers the exit status 1.
int fail(const std::exception& error)
{
    std::cerr << "Error: " << error.what() << std::endl;
    stopApplicationAfterError();
    // No engine task is stopped, but SDL is shut down so a fullscreen
    // mode never leaves the desktop changed.
    SDL_Quit();
    return 1;
}

// Runs one step of the program; a fatal error ends it with status 1.
template <typename Step>
std::optional<int> guarded(Step step)
{
    try {
        return step();
    } catch (const std::exception& error) {
        return fail(error);
    }
}

// The first step of the start-up: the loading picture, presented.
std::optional<int> showLoading()
{
    return guarded([]() -> std::optional<int> {
        Application::showLoadingPicture();
        return std::nullopt;
    });
}

// The second: the fonts and the main screen.
std::optional<int> load()
{
    return guarded([]() -> std::optional<int> {
        Application::getInstance().load();
        return std::nullopt;
    });
}

// The application draws the frame. Once it asks to stop: the orderly
// shutdown and the exit status 0.
std::optional<int> draw()
{
    return guarded([]() -> std::optional<int> {
        Application& application = Application::getInstance();
        if (application.update())
            return std::nullopt;
        application.stop();
        engine.stop();
        return 0;
    });
}

// The engine presents, polls, clears and times the frame.
std::optional<int> present()
{
    return guarded([]() -> std::optional<int> {
        engine.update();
        return std::nullopt;
    });
}

} // namespace

int main()
{
    try {
        engine.start();
    } catch (const std::exception& error) {
        return Platform::ended(fail(error));
    }
    return Platform::runFrames({showLoading, load, draw, present});
}
