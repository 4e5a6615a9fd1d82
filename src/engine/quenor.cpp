// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/quenor.h"

#include "engine/audio.h"
#include "engine/config.h"
#include "engine/input.h"
#include "engine/renderer.h"
#include "engine/timer.h"
#include "engine/window.h"

void Quenor::start()
{
    Config::load("resources/config.cfg");

    // The window opens the OpenGL context that the renderer's start needs.
    adopt<Window>();
    adopt<Input>();
    adopt<Renderer>();
    adopt<Audio>();
    adopt<Timer>();

    for (const OwnedTask& owned : tasks)
        owned.task->start();
}

bool Quenor::update()
{
    for (const OwnedTask& owned : tasks)
        owned.task->update();
    return false;
}

void Quenor::stop()
{
    // The window's stop shuts SDL down as a whole before the audio task closes the mixer.
    for (const OwnedTask& owned : tasks) {
        owned.task->stop();
        owned.destroy();
    }
    tasks.clear();
    Config::clear();
}
