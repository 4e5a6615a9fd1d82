// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "singleton.h"
#include "task.h"

#include <SDL/SDL.h>

#include <cstdint>
#include <vector>

// One key held down: the SDL key symbol and the Unicode character SDL
// reported with the press (0 when there is none).
struct KeyRecord {
    int32_t sym = 0;
    int32_t unicode = 0;
};

// Drains SDL's event queue once per frame and keeps what the rest of the
// program polls: the held keys, the pointer position and the mouse buttons.
// Closing the window becomes a held Escape key.
class Input : public Task {
public:
    static constexpr int32_t escapeSym = SDLK_ESCAPE;

    static Input& getInstance() { return SingletonSlot<Input>::get(); }

    void start() override;
    bool update() override;
    void stop() override;

    // Keys held, in order of pressing, except that a release moves the newest
    // record into the released key's place. Valid until the next update().
    virtual const std::vector<KeyRecord>& getKeys() const;
    // Window pixels, origin top-left, from the latest motion event.
    virtual int32_t getMouseX() const;
    virtual int32_t getMouseY() const;
    virtual int32_t getLeftButton() const;
    virtual int32_t getMiddleButton() const;
    virtual int32_t getRightButton() const;
    // Set by a wheel step, kept until reset.
    virtual int32_t getWheelUp() const;
    virtual int32_t getWheelDown() const;
    virtual void resetWheelUp();
    virtual void resetWheelDown();

    bool isKeyHeld(int32_t sym) const;

private:
    friend class SingletonSlot<Input>;
    Input() = default;

    void handle(const SDL_Event& current);
    void release(int32_t sym);
    void setButton(uint8_t button, int32_t state);

    SDL_Event event{};
    std::vector<KeyRecord> keys;
    int32_t mouseX = 0;
    int32_t mouseY = 0;
    int32_t leftButton = 0;
    int32_t middleButton = 0;
    int32_t rightButton = 0;
    int32_t wheelUp = 0;
    int32_t wheelDown = 0;
};
