// SPDX-FileCopyrightText: 2026 the Kerbolt team
// SPDX-License-Identifier: GPL-3.0-or-later

// The desktop side of the platform module: the system's SDL 1.2, SDL_image,
// SDL_mixer and OpenGL.

#include "platform.h"

#include <SDL/SDL_image.h>

namespace Platform {

int runFrames(FrameStep draw, FrameStep present)
{
    for (;;) {
        if (const std::optional<int> status = draw())
            return *status;
        if (const std::optional<int> status = present())
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

void savegameWritten() {}

} // namespace Platform
