// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// TextureFont's glyph measuring on pictures of every pixel depth, with or
// without alpha and colour key.

#include "fuzzinput.h"
#include "resources/texturefont.h"

#include <algorithm>
#include <cstring>

namespace {

SDL_Surface* pictureOf(const uint8_t* data, std::size_t size)
{
    // Palettised, 4-4-4 (with 4 bits of alpha when alpha tells ink), 8-8-8 and 8-8-8-8 pixels.
    const int bytes = (data[0] & FontInput::depthBits) + 1, i = bytes - 1;
    const Uint32 red[] = {0, 0x0F00, 0xFF, 0xFF}, green[] = {0, 0xF0, 0xFF00, 0xFF00}, blue[] = {0, 0x0F, 0xFF0000, 0xFF0000};
    const Uint32 alpha[] = {0, (data[0] & FontInput::alphaInk) != 0 ? 0xF000u : 0u, 0, 0xFF000000u};
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, data[1], data[2], 8 * bytes, red[i], green[i], blue[i], alpha[i]);
    if (surface == nullptr)
        return nullptr;
    if ((data[0] & FontInput::colourKey) != 0)
        SDL_SetColorKey(surface, SDL_SRCCOLORKEY, data[3]);
    auto* pixels = static_cast<uint8_t*>(surface->pixels);
    std::memset(pixels, 0, static_cast<std::size_t>(surface->h) * surface->pitch);
    const std::size_t row = static_cast<std::size_t>(surface->w) * static_cast<std::size_t>(bytes);
    for (std::size_t y = 0, from = FontInput::headerSize; y < static_cast<std::size_t>(surface->h) && from < size; ++y, from += row)
        std::memcpy(pixels + y * surface->pitch, data + from, std::min(row, size - from));
    return surface;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    // A picture without pixels never decodes, so no font measures one.
    if (size < FontInput::headerSize || data[1] == 0 || data[2] == 0)
        return 0;
    SDL_Surface* surface = pictureOf(data, size);
    if (surface == nullptr)
        return 0;
    TextureFont font;
    font.measureGlyphs(surface, (data[0] & FontInput::alphaInk) != 0, surface->w);
    SDL_FreeSurface(surface);

    // Every glyph lies in the picture and is at least one column wide; the
    // last code has no highlight glyph.
    for (std::size_t cell = 0; cell < TextureFont::cellsPerRow * TextureFont::cellsPerRow; ++cell) {
        const GlyphCorners& glyph = font.getLetters()[cell / 2].sets[cell % 2];
        FUZZ_CHECK(0.0f <= glyph[0].u && glyph[0].u < glyph[1].u && glyph[1].u <= 1.0f);
        FUZZ_CHECK(0.0f <= glyph[0].v && glyph[0].v <= glyph[2].v && glyph[2].v <= 1.0f);
    }
    return 0;
}
