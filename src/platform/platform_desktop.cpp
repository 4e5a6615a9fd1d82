// SPDX-FileCopyrightText: 2026 the Kerbolt team
// SPDX-License-Identifier: GPL-3.0-or-later

// The desktop side of the platform module: the system's SDL 1.2, SDL_image,
// SDL_mixer and OpenGL.

#include "platform/platform.h"

#include <SDL/SDL_image.h>

namespace Platform {

int runFrames(const FrameSteps& steps)
{
    for (const FrameStep startUp : {steps.showLoading, steps.load}) {
        if (const std::optional<int> status = startUp())
            return *status;
    }
    for (;;) {
        if (const std::optional<int> status = steps.draw())
            return *status;
        if (const std::optional<int> status = steps.present())
            return *status;
    }
}

int ended(int status)
{
    return status;
}

SDL_Surface* decodePicture(const std::string& fileName, PictureType type)
{
    SDL_RWops* reader = SDL_RWFromFile(fileName.c_str(), "rb");
    if (!reader)
        return nullptr;
    SDL_Surface* decoded = nullptr;
    switch (type) {
    case PictureType::BMP:
        decoded = IMG_LoadBMP_RW(reader);
        break;
    case PictureType::JPEG:
        decoded = IMG_LoadJPG_RW(reader);
        break;
    case PictureType::PNG:
        decoded = IMG_LoadPNG_RW(reader);
        break;
    }
    // SDL_RWclose closes the file and frees the reader; SDL_FreeRW alone would
    // leave the file open.
    SDL_RWclose(reader);
    return decoded;
}

std::optional<Uint32> colorKey(const SDL_Surface& surface)
{
    if ((surface.flags & SDL_SRCCOLORKEY) == 0)
        return std::nullopt;
    return surface.format->colorkey;
}

bool mustLock(const SDL_Surface& surface)
{
    const SDL_Surface* const pointer = &surface; // the macro does not bracket its argument
    return SDL_MUSTLOCK(pointer);
}

void uploadTexture(GLenum internalFormat, GLsizei width, GLsizei height, GLenum format, const void* pixels,
                   GLint alignment, GLint rowLength)
{
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internalFormat), width, height, 0, format, GL_UNSIGNED_BYTE,
                 pixels);
    glPopClientAttrib();
}

Mix_Chunk* loadSound(const std::string& fileName)
{
    SDL_RWops* reader = SDL_RWFromFile(fileName.c_str(), "rb");
    // The mixer closes the reader (freesrc 1), also when it cannot decode.
    return reader ? Mix_LoadWAV_RW(reader, 1) : nullptr;
}

std::optional<int> mixerRate()
{
    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    if (!Mix_QuerySpec(&rate, &format, &channels))
        return std::nullopt;
    return rate;
}

void roundRunning(bool) {}

void savegameWritten() {}

namespace {
SDL_Joystick* pad = nullptr;
}

// SDL 1.2 counts the joysticks once, as its joystick part starts, and
// reports neither pads plugged in later nor a pad pulled out.
void openPad()
{
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0)
        return;
    if (SDL_NumJoysticks() > 0)
        pad = SDL_JoystickOpen(0);
}

bool padGone()
{
    return false;
}

// After SDL_Quit the pad is gone with the rest of SDL; closing it then
// would reach freed memory.
void closePad()
{
    if (pad && SDL_WasInit(SDL_INIT_JOYSTICK) != 0)
        SDL_JoystickClose(pad);
    pad = nullptr;
}

// Linux numbers the buttons of the common pads in the order of their kernel
// codes: 0 to 3 are the face buttons (0 the bottom one), and Start is 7 on
// Xbox-style pads and 9 on PlayStation-style and most plain USB pads. The
// d-pad arrives as a hat.
int32_t padButtonKey(uint8_t button)
{
    switch (button) {
    case 0:
        return SDLK_SPACE;
    case 1:
    case 2:
    case 3:
        return SDLK_w;
    case 7:
    case 9:
        return SDLK_p;
    default:
        return 0;
    }
}

// Only the input focus and the window's being shown count: the pointer
// leaving the window does not.
bool leavesWindow(const SDL_Event& event)
{
    return event.type == SDL_ACTIVEEVENT && event.active.gain == 0
           && (event.active.state & (SDL_APPINPUTFOCUS | SDL_APPACTIVE)) != 0;
}

} // namespace Platform
