// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "input.h"

#include <algorithm>

void Input::start()
{
    SDL_EnableUNICODE(1);
}

bool Input::update()
{
    while (SDL_PollEvent(&event))
        handle(event);
    return false;
}

void Input::stop() {}

void Input::handle(const SDL_Event& current)
{
    switch (current.type) {
    case SDL_KEYDOWN:
        // The character's field is 16 bits wide in SDL 1.2 and 32 in
        // Emscripten's SDL; either way it holds one UTF-16 unit or 0.
        keys.push_back({current.key.keysym.sym, static_cast<int32_t>(current.key.keysym.unicode)});
        break;
    case SDL_KEYUP:
        release(current.key.keysym.sym);
        break;
    case SDL_MOUSEMOTION:
        mouseX = current.motion.x;
        mouseY = current.motion.y;
        break;
    case SDL_MOUSEBUTTONDOWN:
        setButton(current.button.button, 1);
        break;
    case SDL_MOUSEBUTTONUP:
        setButton(current.button.button, 0);
        break;
    case SDL_QUIT:
        keys.push_back({escapeSym, escapeSym});
        break;
    default:
        break;
    }
}

// The newest record takes the released key's place, so the list never shifts.
void Input::release(int32_t sym)
{
    const auto held = std::find_if(keys.begin(), keys.end(), [sym](const KeyRecord& key) { return key.sym == sym; });
    if (held == keys.end())
        return;
    *held = keys.back();
    keys.pop_back();
}

void Input::setButton(uint8_t button, int32_t state)
{
    switch (button) {
    case SDL_BUTTON_LEFT:
        leftButton = state;
        break;
    case SDL_BUTTON_MIDDLE:
        middleButton = state;
        break;
    case SDL_BUTTON_RIGHT:
        rightButton = state;
        break;
    case SDL_BUTTON_WHEELUP:
        if (state)
            wheelUp = 1; // the wheel's button-up changes nothing
        break;
    case SDL_BUTTON_WHEELDOWN:
        if (state)
            wheelDown = 1;
        break;
    default:
        break;
    }
}

const std::vector<KeyRecord>& Input::getKeys() const
{
    return keys;
}

bool Input::isKeyHeld(int32_t sym) const
{
    return std::any_of(keys.begin(), keys.end(), [sym](const KeyRecord& key) { return key.sym == sym; });
}

int32_t Input::getMouseX() const
{
    return mouseX;
}

int32_t Input::getMouseY() const
{
    return mouseY;
}

int32_t Input::getLeftButton() const
{
    return leftButton;
}

int32_t Input::getMiddleButton() const
{
    return middleButton;
}

int32_t Input::getRightButton() const
{
    return rightButton;
}

int32_t Input::getWheelUp() const
{
    return wheelUp;
}

int32_t Input::getWheelDown() const
{
    return wheelDown;
}

void Input::resetWheelUp()
{
    wheelUp = 0;
}

void Input::resetWheelDown()
{
    wheelDown = 0;
}
