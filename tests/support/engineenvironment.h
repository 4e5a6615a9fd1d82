// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/quenor.h"
#include "tempdir.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

// Starts the real engine (window, input, renderer, mixer, timer) once for a
// whole test program, from a temporary directory holding configText(), and
// stops it at the end. Audio goes to SDL's dummy driver unless
// SDL_AUDIODRIVER says otherwise.
class EngineEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;

    // Presents the frame and lets the engine's tasks run once, as between two frames.
    static void runEngineFrame();

private:
    std::unique_ptr<ScopedWorkDir> startDirectory;
    static inline std::unique_ptr<Quenor> engine;
};

// Whether the SDL 1.2 in use is sdl12-compat (the SDL 1.2 interface over SDL 2,
// versions 1.2.50 and up) rather than the original library. A few outcomes
// differ there: where a bad audio driver or sound file is refused.
bool onSdl12Compat();

// Queues an event for the engine's input: a key with its character, a mouse
// button (pressed at 5, 6), pointer motion to (a, b), the first pad's axis a
// at value b, its hat at a, its button a, or the window's gain a of state b.
void pushEvent(Uint8 type, int a, int b = 0);

// Writes configText(sizes) as resources/config.cfg in `dir`, loads it and
// restarts the renderer, in its orthographic mode.
void restartRenderer(const ScopedWorkDir& dir, const std::map<std::string, int>& sizes);

// Lets go of every held key, pad control and mouse button and clears the
// wheel flags: the input is one object for the whole program.
void releaseAllInput();
