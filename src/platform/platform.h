// SPDX-FileCopyrightText: 2026 the Kerbolt team
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include <cstdint>
#include <optional>
#include <string>

// Everything that differs between the game on the desktop and the same game
// built to WebAssembly for a web browser. The build picks one side:
// platform_desktop.cpp (SDL 1.2, SDL_image, SDL_mixer and OpenGL as the
// system has them) or platform_web.cpp (Emscripten's SDL 1.2, its mixer over
// Web Audio and its OpenGL emulation over WebGL). Every other module is the
// same in both builds.
namespace Platform {

// The frame loop: the start-up's two steps, then draw, present, draw,
// present, ... until a step answers an exit status (0 after an orderly
// shutdown, 1 after a fatal error). showLoading draws and presents the
// loading picture, load loads what the first frame needs; draw is the
// application's part of a frame, present the engine's (buffer swap, event
// poll, clear, timer). On the desktop a plain loop that answers that status.
// In the browser, which shows a frame only when control returns to it, each
// callback of the page's frame clock runs present and then draw, so that the
// browser shows the frame just drawn when the callback returns; the first
// callback runs showLoading alone, so that the loading picture is shown
// while the second loads. It never returns, and the end is shown in the page
// (ended).
using FrameStep = std::optional<int> (*)();
struct FrameSteps {
    FrameStep showLoading;
    FrameStep load;
    FrameStep draw;
    FrameStep present;
};
int runFrames(const FrameSteps& steps);

// The game has ended with status: answers it. In the browser the page also
// says so and offers to start again.
int ended(int status);

// The picture formats the game reads, told apart by their first bytes.
enum class PictureType { BMP, JPEG, PNG };

// Decodes a picture file whose type is known into a new surface (owned by the
// caller, SDL_FreeSurface), or null when the file cannot be decoded. Row 0 is
// the picture's top row.
SDL_Surface* decodePicture(const std::string& fileName, PictureType type);

// The pixel value that the surface marks transparent, if it has a colour key
// (a palettised PNG with one transparent entry).
std::optional<Uint32> colorKey(const SDL_Surface& surface);

// Whether the surface's pixels must be locked (SDL_LockSurface) before they
// are read directly.
bool mustLock(const SDL_Surface& surface);

// Uploads pixels into the texture bound to GL_TEXTURE_2D, level 0. Rows lie
// rowLength pixels apart (0: width) and start on multiples of alignment bytes.
// The caller's pixel unpack state is left as it was.
void uploadTexture(GLenum internalFormat, GLsizei width, GLsizei height, GLenum format, const void* pixels,
                   GLint alignment, GLint rowLength);

// Loads a WAV file into a new mixer chunk (Mix_FreeChunk), or null when the
// mixer cannot read it.
Mix_Chunk* loadSound(const std::string& fileName);

// The rate the mixer plays at in Hz, or nothing while it is closed.
std::optional<int> mixerRate();

// A round has begun (true) or ended (false). The page shows its touch
// controls only while a round runs.
void roundRunning(bool running);

// Called after every savegame that was written completely. The browser keeps
// the savegame in its persistent storage from here on.
void savegameWritten();

// The gamepad: the first joystick the platform reports, whose events then
// arrive in the event queue. Opened as the input starts: on the desktop
// (SDL 1.2) only a pad present then is ever found; the browser offers a pad
// from the moment the player first presses one of its buttons.
void openPad();
// Called before each read of the event queue: in the browser it opens a pad
// that has come since and queues the open pad's changes. Answers true once
// when the open pad has gone, so that what it held is let go.
bool padGone();
// Closes the pad, if one is open.
void closePad();
// The key a pad button acts as (SDLK value), or 0 for a button that does
// nothing: the face buttons jump (the bottom one as Space, which also
// presses a menu's highlighted button; the others as W), Start pauses (as P)
// and, in the browser's standard layout, the d-pad's buttons are the arrows.
int32_t padButtonKey(uint8_t button);
// Whether the event says that the player has left the game: on the desktop
// the window lost the input focus or was minimised; in the browser the page
// was hidden or lost the focus.
bool leavesWindow(const SDL_Event& event);

} // namespace Platform
