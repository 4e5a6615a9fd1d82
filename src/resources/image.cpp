// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "resources/image.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <fstream>

namespace {

// The first bytes of a file: as many as it has, up to eight.
struct FileStart {
    std::array<uint8_t, 8> bytes{};
    std::size_t count = 0;
};

// Nothing when the file cannot be opened.
std::optional<FileStart> fileStart(const std::string& fileName)
{
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        return std::nullopt;
    FileStart start;
    file.read(reinterpret_cast<char*>(start.bytes.data()), static_cast<std::streamsize>(start.bytes.size()));
    start.count = static_cast<std::size_t>(file.gcount());
    return start;
}

// The byte (0..bytesPerPixel-1) that a channel mask selects, or -1 when the
// mask is not one whole byte.
int byteOf(Uint32 mask, int bytesPerPixel)
{
    for (int shift = 0; shift < 8 * bytesPerPixel; shift += 8) {
        if (mask == (Uint32{0xFF} << shift)) {
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
            return shift / 8;
#else
            return bytesPerPixel - 1 - shift / 8;
#endif
        }
    }
    return -1;
}

// The GL layout of the surface's bytes as they lie in memory, or 0 when GL
// cannot take them unconverted (palettised, grey, 16-bit, ARGB orders).
GLenum glLayoutOf(const SDL_PixelFormat& pixel)
{
    const int bytes = pixel.BytesPerPixel;
    if (pixel.palette || (bytes != 3 && bytes != 4))
        return 0;
    const int r = byteOf(pixel.Rmask, bytes), g = byteOf(pixel.Gmask, bytes), b = byteOf(pixel.Bmask, bytes);
    if (g != 1)
        return 0;
    // In four-byte pixels the fourth byte is alpha or unused padding.
    const bool fourthIsLast = bytes == 3 || pixel.Amask == 0 || byteOf(pixel.Amask, bytes) == 3;
    if (!fourthIsLast)
        return 0;
    if (r == 0 && b == 2)
        return bytes == 3 ? GL_RGB : GL_RGBA;
    if (r == 2 && b == 0)
        return bytes == 3 ? GL_BGR : GL_BGRA;
    return 0;
}

// SDL_image decodes a grey PNG with a transparent grey value (a tRNS chunk)
// at any bit depth into two bytes a pixel, grey then alpha, under the masks it
// meant for RGB: red and green claim those two bytes, blue lies beyond the
// pixel, and a colour key of 0 is set. Read through those masks, grey 170
// would become (170, 255, 0) and the transparent grey opaque red.
// sdl12-compat (SDL 1.2 over SDL 2) cannot make a surface with those masks
// and gives the same bytes 5-6-5 masks instead, which read as other colours.
bool isGreyAlphaPair(const SDL_Surface& surface)
{
    const SDL_PixelFormat& pixel = *surface.format;
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
    constexpr Uint32 red = 0x000000FF, green = 0x0000FF00, blue = 0x00FF0000;
#else
    constexpr Uint32 red = 0x00FF0000, green = 0x0000FF00, blue = 0x000000FF;
#endif
    const bool askedMasks = pixel.Rmask == red && pixel.Gmask == green && pixel.Bmask == blue;
    const bool compatMasks = pixel.Rmask == 0xF800 && pixel.Gmask == 0x07E0 && pixel.Bmask == 0x001F &&
                             Platform::colorKey(surface) == Uint32{0};
    return pixel.BytesPerPixel == 2 && !pixel.palette && pixel.Amask == 0 && (askedMasks || compatMasks);
}

// The grey and alpha pairs as R, G, B, A bytes with the grey in all three
// colours; null when there is no memory for it. The alpha already says which
// pixels matched the transparent value, so the copy needs no colour key.
SDL_Surface* greyAlphaToRgba(const SDL_Surface& surface)
{
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
    constexpr Uint32 red = 0x000000FF, green = 0x0000FF00, blue = 0x00FF0000, alpha = 0xFF000000;
#else
    constexpr Uint32 red = 0xFF000000, green = 0x00FF0000, blue = 0x0000FF00, alpha = 0x000000FF;
#endif
    SDL_Surface* rgba = SDL_CreateRGBSurface(SDL_SWSURFACE, surface.w, surface.h, 32, red, green, blue, alpha);
    if (!rgba)
        return nullptr;
    for (int y = 0; y < surface.h; ++y) {
        const auto* in = static_cast<const uint8_t*>(surface.pixels) + static_cast<std::ptrdiff_t>(y) * surface.pitch;
        auto* out = static_cast<uint8_t*>(rgba->pixels) + static_cast<std::ptrdiff_t>(y) * rgba->pitch;
        for (int x = 0; x < surface.w; ++x, in += 2, out += 4) {
            out[0] = out[1] = out[2] = in[0];
            out[3] = in[1];
        }
    }
    return rgba;
}

} // namespace

std::optional<Platform::PictureType> Image::typeOf(const uint8_t* bytes, std::size_t count)
{
    const auto startsWith = [&](std::initializer_list<uint8_t> magic) {
        return count >= magic.size() && std::equal(magic.begin(), magic.end(), bytes);
    };
    if (startsWith({'B', 'M'}))
        return Platform::PictureType::BMP;
    if (startsWith({0xFF, 0xD8, 0xFF}))
        return Platform::PictureType::JPEG;
    if (startsWith({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}))
        return Platform::PictureType::PNG;
    return std::nullopt;
}

Image::~Image()
{
    freeData();
}

void Image::loadFile(const std::string& fileName)
{
    name = fileName;
    const std::string prefix = "src/image: Cannot load Resource " + fileName;
    const std::optional<FileStart> start = fileStart(fileName);
    if (!start)
        throw UnloadableResourceException(prefix + ". Cannot find that file.");
    const std::optional<Platform::PictureType> type = typeOf(start->bytes.data(), start->count);
    if (!type)
        throw UnloadableResourceException(prefix + ". Unknown type.");

    SDL_Surface* decoded = Platform::decodePicture(fileName, *type);
    if (decoded && isGreyAlphaPair(*decoded)) {
        SDL_Surface* rgba = greyAlphaToRgba(*decoded);
        SDL_FreeSurface(decoded);
        decoded = rgba;
    }
    if (!decoded)
        throw UnloadableResourceException(prefix + ". Cannot decode that file.");

    freeData(); // a second load of the same object must not leak the first surface
    surface = decoded;
    width = surface->w;
    height = surface->h;
    // The upload layout follows the decoded surface's channel order, not the
    // file type: SDL_image gives JPEG (and most BMP) surfaces in RGB order, so
    // a fixed GL_BGR for those types would swap red and blue.
    format = glLayoutOf(*surface->format);
    // Alpha: an alpha channel, or a colour key (palettised PNG with one
    // transparent entry), which the texture turns into alpha 0.
    const bool hasAlpha = surface->format->Amask != 0 || Platform::colorKey(*surface).has_value();
    internalFormat = hasAlpha ? GL_RGBA : GL_RGB;
}

void Image::loadDefault()
{
    loadFile(defaultFile);
}

void Image::freeData()
{
    if (surface) {
        SDL_FreeSurface(surface);
        surface = nullptr;
    }
}

int32_t Image::getWidth() const
{
    return width;
}

int32_t Image::getHeight() const
{
    return height;
}

GLenum Image::getFormat() const
{
    return format;
}

GLenum Image::getInternalFormat() const
{
    return internalFormat;
}

SDL_Surface* Image::getSurface() const
{
    return surface;
}
