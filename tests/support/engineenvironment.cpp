// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engineenvironment.h"

#include "engine/config.h"
#include "engine/input.h"
#include "engine/renderer.h"

#include <cstdlib>
#include <vector>

void EngineEnvironment::SetUp()
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    startDirectory = std::make_unique<ScopedWorkDir>();
    startDirectory->writeFile("resources/config.cfg", configText());
    engine = std::make_unique<Quenor>();
    engine->start();
    // Tests make their own working directories; this one is no longer needed.
    startDirectory.reset();
}

void EngineEnvironment::TearDown()
{
    engine->stop();
    engine.reset();
}

void EngineEnvironment::runEngineFrame()
{
    engine->update();
}

void pushEvent(Uint8 type, int a, int b)
{
    SDL_Event event{};
    event.type = type;
    if (type == SDL_KEYDOWN || type == SDL_KEYUP) {
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = static_cast<SDLKey>(a);
        event.key.keysym.unicode = static_cast<Uint16>(b);
    } else if (type == SDL_MOUSEMOTION) {
        event.motion.x = static_cast<Uint16>(a);
        event.motion.y = static_cast<Uint16>(b);
    } else if (type == SDL_JOYAXISMOTION) {
        event.jaxis = {type, 0, static_cast<Uint8>(a), static_cast<Sint16>(b)};
    } else if (type == SDL_JOYHATMOTION) {
        event.jhat = {type, 0, 0, static_cast<Uint8>(a)};
    } else if (type == SDL_JOYBUTTONDOWN || type == SDL_JOYBUTTONUP) {
        event.jbutton = {type, 0, static_cast<Uint8>(a), type == SDL_JOYBUTTONDOWN ? Uint8{SDL_PRESSED} : Uint8{SDL_RELEASED}};
    } else if (type == SDL_ACTIVEEVENT) {
        event.active = {type, static_cast<Uint8>(a), static_cast<Uint8>(b)};
    } else {
        event.button = {type, 0, static_cast<Uint8>(a), 0, 5, 6};
    }
    ASSERT_EQ(0, SDL_PushEvent(&event)) << "SDL event queue is full";
}

void restartRenderer(const ScopedWorkDir& dir, const std::map<std::string, int>& sizes)
{
    dir.writeFile("resources/config.cfg", configText(sizes));
    Config::load("resources/config.cfg");
    Renderer::getInstance().start();
    Renderer::getInstance().setOrtho();
}

void releaseAllInput()
{
    Input& input = Input::getInstance();
    input.update();
    for (const KeyRecord& key : std::vector(input.getKeys())) // one record goes with each release
        pushEvent(SDL_KEYUP, key.sym);
    for (const Uint8 button : {SDL_BUTTON_LEFT, SDL_BUTTON_MIDDLE, SDL_BUTTON_RIGHT})
        pushEvent(SDL_MOUSEBUTTONUP, button);
    input.update();
    // The pad at rest: its controls let their keys go.
    pushEvent(SDL_JOYAXISMOTION, 0, 0);
    pushEvent(SDL_JOYAXISMOTION, 1, 0);
    pushEvent(SDL_JOYHATMOTION, SDL_HAT_CENTERED);
    for (int button = 0; button < 16; ++button)
        pushEvent(SDL_JOYBUTTONUP, button);
    input.update();
    input.resetWheelUp();
    input.resetWheelDown();
}

bool onSdl12Compat()
{
    const SDL_version* version = SDL_Linked_Version();
    return version->major == 1 && version->minor == 2 && version->patch >= 50;
}
