// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testpicture.h"

#include <SDL/SDL.h>
#include <png.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <stdexcept>

TestPicture::TestPicture(int width, int height, Rgba background)
    : width(width), height(height), pixels(static_cast<std::size_t>(width * height), background)
{
}

TestPicture::TestPicture(int width, int height, const std::function<Rgba(int, int)>& colour)
    : TestPicture(width, height, Rgba{})
{
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i)
            pixels[static_cast<std::size_t>(j * width + i)] = colour(i, j);
}

void TestPicture::fill(int x0, int y0, int x1, int y1, Rgba colour)
{
    for (int y = y0; y < y1; ++y)
        std::fill_n(pixels.begin() + y * width + x0, x1 - x0, colour);
}

void TestPicture::save(const std::string& file, Form form) const
{
    std::filesystem::create_directories(std::filesystem::absolute(file).parent_path());
    bool written = false;
    if (form == Form::Bmp) {
        // The fixtures' BMPs carry no alpha. The original SDL 1.2 writes any
        // surface as a 24-bit BMP, but SDL 2 (under sdl12-compat) keeps a
        // 32-bit surface's alpha; so the colours go through a 24-bit surface.
        using Surface = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;
        // Byte order R, G, B, A in memory.
        const bool little = SDL_BYTEORDER == SDL_LIL_ENDIAN;
        const Surface rgba(SDL_CreateRGBSurfaceFrom(const_cast<Rgba*>(pixels.data()), width, height, 32, width * 4,
                                                    little ? 0xFF : 0xFF000000, little ? 0xFF00 : 0xFF0000,
                                                    little ? 0xFF0000 : 0xFF00, little ? 0xFF000000 : 0xFF),
                           SDL_FreeSurface);
        const Surface rgb(SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, little ? 0xFF : 0xFF0000, 0xFF00,
                                               little ? 0xFF0000 : 0xFF, 0),
                          SDL_FreeSurface);
        if (rgba && rgb) {
            SDL_SetAlpha(rgba.get(), 0, SDL_ALPHA_OPAQUE); // copy the colours, do not blend them
            written = SDL_BlitSurface(rgba.get(), nullptr, rgb.get(), nullptr) == 0
                   && SDL_SaveBMP(rgb.get(), file.c_str()) == 0;
        }
    } else {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(width);
        image.height = static_cast<png_uint_32>(height);
        image.format = PNG_FORMAT_RGBA;
        written = png_image_write_to_file(&image, file.c_str(), 0, pixels.data(), 0, nullptr) != 0;
    }
    if (!written)
        throw std::runtime_error("cannot write " + file);
}
