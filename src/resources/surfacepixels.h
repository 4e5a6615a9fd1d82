// SPDX-FileCopyrightText: 2026 the Kerbolt team
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <SDL/SDL.h>

#include <cstdint>

// Reading an SDL surface's pixels directly, the one way the terrain, the
// fonts and the textures all read them.

// Keeps a surface's pixels addressable while they are read: locks the
// surface where the platform needs it (Platform::mustLock) and unlocks it
// when it goes. A null surface, or one that refuses the lock, is not locked.
class SurfaceLock {
public:
    explicit SurfaceLock(SDL_Surface* surface);
    ~SurfaceLock();
    SurfaceLock(const SurfaceLock&) = delete;
    SurfaceLock& operator=(const SurfaceLock&) = delete;

    // Whether the pixels may be read: a surface that needs no lock, or one
    // that took it. False for a null surface.
    bool readable() const;

private:
    SDL_Surface* surface;
    bool needsUnlock = false;
};

// One pixel split into its channels by the surface's pixel format.
struct Rgba8 {
    uint8_t r = 0, g = 0, b = 0, a = 0;
};

// The raw value of the 1- to 4-byte pixel whose bytes start at `at`, as SDL
// stores it on this host (three bytes in the machine's byte order); 0 for
// any other depth. memcpy because rows need not be aligned for wide reads.
Uint32 rawPixelValue(const uint8_t* at, int bytesPerPixel);

// The raw value of the pixel at column x, row y: its bytes start at the
// pixel memory + y * pitch + x * bytes per pixel. 0 for a position outside
// the surface or a surface without pixels, so a picture smaller than what
// reads it reads as empty there.
Uint32 pixelValue(const SDL_Surface& surface, int x, int y);

// The pixel at column x, row y split with SDL_GetRGBA and the surface's own
// pixel format. A colour key is not applied: SDL_GetRGBA does not report it.
Rgba8 colourAt(const SDL_Surface& surface, int x, int y);
