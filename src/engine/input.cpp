// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/input.h"

#include "platform/platform.h"

#include <algorithm>

namespace {
// Room for more presses in one frame than hands make, so that a frame never
// allocates.
constexpr std::size_t pressesPerFrame = 32;
} // namespace

Input::Input()
{
    presses.reserve(pressesPerFrame);
}

void Input::start()
{
    SDL_EnableUNICODE(1);
    Platform::openPad();
}

bool Input::update()
{
    presses.clear();
    clicked = false;
    leftWindow = false;
    if (Platform::padGone())
        releasePad();
    while (SDL_PollEvent(&event))
        handle(event);
    return false;
}

void Input::stop()
{
    Platform::closePad();
}

void Input::handle(const SDL_Event& current)
{
    switch (current.type) {
    case SDL_KEYDOWN:
        // The character's field is 16 bits wide in SDL 1.2 and 32 in
        // Emscripten's SDL; either way it holds one UTF-16 unit or 0.
        press(current.key.keysym.sym, static_cast<int32_t>(current.key.keysym.unicode));
        break;
    case SDL_KEYUP:
        release(current.key.keysym.sym);
        break;
    case SDL_MOUSEMOTION:
        mouseX = current.motion.x;
        mouseY = current.motion.y;
        break;
    case SDL_MOUSEBUTTONDOWN:
        clicked = clicked || current.button.button == SDL_BUTTON_LEFT;
        setButton(current.button.button, 1);
        break;
    case SDL_MOUSEBUTTONUP:
        setButton(current.button.button, 0);
        break;
    case SDL_QUIT:
        keys.push_back({escapeSym, escapeSym});
        break;
    case SDL_JOYAXISMOTION:
        handleStick(current.jaxis.axis, current.jaxis.value);
        break;
    case SDL_JOYHATMOTION:
        handleHat(current.jhat.value);
        break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        handlePadButton(current.jbutton.button, current.type == SDL_JOYBUTTONDOWN);
        break;
    default:
        leftWindow = leftWindow || Platform::leavesWindow(current);
        break;
    }
}

void Input::press(int32_t sym, int32_t unicode)
{
    keys.push_back({sym, unicode});
    presses.push_back(sym);
}

void Input::holdPad(int32_t& control, int32_t sym)
{
    if (control == sym)
        return;
    if (control != 0)
        release(control);
    control = sym;
    if (sym != 0)
        press(sym, 0);
}

// Axis 0 is the left stick's x, axis 1 its y (down positive); other axes
// (the right stick, the triggers) do nothing.
void Input::handleStick(uint8_t axis, int32_t value)
{
    const int lean = value > stickDeadZone ? 1 : value < -stickDeadZone ? -1 : 0;
    if (axis == 0)
        holdPad(pad.stickX, lean > 0 ? SDLK_RIGHT : lean < 0 ? SDLK_LEFT : 0);
    else if (axis == 1)
        holdPad(pad.stickY, lean > 0 ? SDLK_DOWN : lean < 0 ? SDLK_UP : 0);
}

void Input::handleHat(uint8_t value)
{
    holdPad(pad.hatX, (value & SDL_HAT_RIGHT) ? SDLK_RIGHT : (value & SDL_HAT_LEFT) ? SDLK_LEFT : 0);
    holdPad(pad.hatY, (value & SDL_HAT_DOWN) ? SDLK_DOWN : (value & SDL_HAT_UP) ? SDLK_UP : 0);
}

void Input::handlePadButton(uint8_t button, bool down)
{
    if (button < pad.buttons.size())
        holdPad(pad.buttons[button], down ? Platform::padButtonKey(button) : 0);
}

void Input::releasePad()
{
    for (int32_t* control : {&pad.stickX, &pad.stickY, &pad.hatX, &pad.hatY})
        holdPad(*control, 0);
    for (int32_t& control : pad.buttons)
        holdPad(control, 0);
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

bool Input::wasPressed(int32_t sym) const
{
    return std::find(presses.begin(), presses.end(), sym) != presses.end();
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
