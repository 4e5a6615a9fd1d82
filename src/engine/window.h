// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/singleton.h"
#include "engine/task.h"

#include <cstdint>

// Opens the SDL video mode with an OpenGL context (window_width,
// window_height, fullscreen from the configuration) and presents every
// finished frame.
class Window : public Task {
public:
    static Window& getInstance() { return SingletonSlot<Window>::get(); }

    // Throws std::runtime_error when SDL's video or the video mode fails.
    void start() override;
    // Presents the frame just drawn (buffer swap).
    bool update() override;
    // Shuts every SDL subsystem down, audio included.
    void stop() override;

    // The SDL_SetVideoMode flags for a "fullscreen" setting: an OpenGL
    // window, fullscreen when the setting's lowest bit is 1.
    static uint32_t videoModeFlags(int32_t fullscreen);

private:
    friend class SingletonSlot<Window>;
    Window() = default;
};
