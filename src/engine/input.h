// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/singleton.h"
#include "engine/task.h"

#include <SDL/SDL.h>

#include <array>
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
//
// The gamepad's controls are held keys too, each control one key while it
// acts: the left stick (beyond a dead zone) and the d-pad are the arrow
// keys, and the buttons are the keys the platform names (padButtonKey in
// platform.h). A pad control and a key of the same symbol held together
// are two held keys, as two keys are.
class Input : public Task {
public:
    static constexpr int32_t escapeSym = SDLK_ESCAPE;
    // How far the stick must lean (of 32767) before it acts as an arrow key.
    static constexpr int32_t stickDeadZone = 16384;
    // Pad buttons beyond these numbers do nothing.
    static constexpr std::size_t padButtons = 32;

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

    // What began during the latest update(): the symbols of the keys pressed
    // (pad controls included) in order, whether the left mouse button went
    // down, and whether the player left the window (platform.h, leavesWindow).
    const std::vector<int32_t>& getPresses() const { return presses; }
    bool wasPressed(int32_t sym) const;
    bool wasClicked() const { return clicked; }
    bool hasLeftWindow() const { return leftWindow; }

private:
    friend class SingletonSlot<Input>;
    Input();

    void handle(const SDL_Event& current);
    void press(int32_t sym, int32_t unicode);
    void release(int32_t sym);
    void setButton(uint8_t button, int32_t state);
    // A pad control now acts as the key sym (0: as none).
    void holdPad(int32_t& control, int32_t sym);
    void handleStick(uint8_t axis, int32_t value);
    void handleHat(uint8_t value);
    void handlePadButton(uint8_t button, bool down);
    void releasePad();

    SDL_Event event{};
    std::vector<KeyRecord> keys;
    int32_t mouseX = 0;
    int32_t mouseY = 0;
    int32_t leftButton = 0;
    int32_t middleButton = 0;
    int32_t rightButton = 0;
    int32_t wheelUp = 0;
    int32_t wheelDown = 0;

    std::vector<int32_t> presses;
    bool clicked = false;
    bool leftWindow = false;
    // The key each pad control acts as now, 0 for none.
    struct PadControls {
        int32_t stickX = 0, stickY = 0, hatX = 0, hatY = 0;
        std::array<int32_t, padButtons> buttons{};
    } pad;
};
