// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "resources/surfacepixels.h"

#include "platform/platform.h"

#include <cstddef>
#include <cstring>

SurfaceLock::SurfaceLock(SDL_Surface* surface) : surface(surface)
{
    if (surface != nullptr && Platform::mustLock(*surface)) {
        needsUnlock = SDL_LockSurface(surface) == 0;
        if (!needsUnlock)
            this->surface = nullptr;
    }
}

SurfaceLock::~SurfaceLock()
{
    if (needsUnlock)
        SDL_UnlockSurface(surface);
}

bool SurfaceLock::readable() const
{
    return surface != nullptr;
}

Uint32 rawPixelValue(const uint8_t* at, int bytesPerPixel)
{
    switch (bytesPerPixel) {
    case 1:
        return at[0];
    case 2: {
        Uint16 value = 0;
        std::memcpy(&value, at, sizeof value);
        return value;
    }
    case 3:
        if (SDL_BYTEORDER == SDL_BIG_ENDIAN)
            return Uint32{at[0]} << 16 | Uint32{at[1]} << 8 | Uint32{at[2]};
        return Uint32{at[0]} | Uint32{at[1]} << 8 | Uint32{at[2]} << 16;
    case 4: {
        Uint32 value = 0;
        std::memcpy(&value, at, sizeof value);
        return value;
    }
    default:
        return 0;
    }
}

Uint32 pixelValue(const SDL_Surface& surface, int x, int y)
{
    if (surface.pixels == nullptr || x < 0 || y < 0 || x >= surface.w || y >= surface.h)
        return 0;
    const int bytesPerPixel = surface.format->BytesPerPixel;
    const auto* at = static_cast<const uint8_t*>(surface.pixels) + static_cast<std::size_t>(y) * surface.pitch +
                     static_cast<std::size_t>(x) * static_cast<std::size_t>(bytesPerPixel);
    return rawPixelValue(at, bytesPerPixel);
}

Rgba8 colourAt(const SDL_Surface& surface, int x, int y)
{
    Rgba8 colour;
    SDL_GetRGBA(pixelValue(surface, x, y), surface.format, &colour.r, &colour.g, &colour.b, &colour.a);
    return colour;
}
