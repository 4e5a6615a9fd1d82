// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/window.h"

#include "engine/config.h"

#include <SDL/SDL.h>

#include <stdexcept>

// Only the lowest bit of the fullscreen setting counts.
uint32_t Window::videoModeFlags(int32_t fullscreen)
{
    const Uint32 flags = SDL_HWSURFACE | SDL_OPENGL | SDL_ASYNCBLIT;
    return (static_cast<Uint32>(fullscreen) & 1u) ? flags | SDL_FULLSCREEN : flags;
}

void Window::start()
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_Init(SDL_INIT_VIDEO) != 0)
        throw std::runtime_error("src/window: Could not init Video Mode. Error in SDL_Init().");

    const int32_t width = Config::get("window_width");
    const int32_t height = Config::get("window_height");
    const int32_t fullscreen = Config::get("fullscreen");

    if (SDL_SetVideoMode(width, height, 0, videoModeFlags(fullscreen)) == nullptr)
        throw std::runtime_error("src/window: Could not Set Video Mode. Error in SDL_SetVideoMode().");
    SDL_WM_SetCaption("Quenor", "Quenor");
}

bool Window::update()
{
    SDL_GL_SwapBuffers();
    return false;
}

void Window::stop()
{
    SDL_Quit();
}
