// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "resources/texturefont.h"

#include "resources/image.h"
#include "platform/platform.h"
#include "resources/resourcemanager.h"
#include "resources/surfacepixels.h"
#include "resources/texture2d.h"

#include <GL/gl.h>

#include <optional>

namespace {

// The pixel rectangle of one grid cell: columns x0 to x1 - 1, rows y0 to y1 - 1.
struct Cell {
    int x0, x1, y0, y1;
};

template <class InkTest>
bool columnHasInk(const Cell& cell, int x, const InkTest& inked)
{
    for (int y = cell.y0; y < cell.y1; ++y) {
        if (inked(x, y))
            return true;
    }
    return false;
}

// The leftmost inked column, scanning from the cell's left side.
template <class InkTest>
std::optional<int> leftEdge(const Cell& cell, const InkTest& inked)
{
    for (int x = cell.x0; x < cell.x1; ++x) {
        if (columnHasInk(cell, x, inked))
            return x;
    }
    return std::nullopt;
}

// One past the rightmost inked column, scanning from the cell's right side.
template <class InkTest>
std::optional<int> rightEdge(const Cell& cell, const InkTest& inked)
{
    for (int x = cell.x1 - 1; x >= cell.x0; --x) {
        if (columnHasInk(cell, x, inked))
            return x + 1;
    }
    return std::nullopt;
}

GlyphCorners corners(int left, int right, const Cell& cell, int32_t size)
{
    const auto scaled = [size](int pixel) { return static_cast<float>(pixel) / static_cast<float>(size); };
    return {TexCoord{scaled(left), scaled(cell.y0)}, TexCoord{scaled(right), scaled(cell.y0)},
            TexCoord{scaled(right), scaled(cell.y1)}, TexCoord{scaled(left), scaled(cell.y1)}};
}

} // namespace

void TextureFont::load(const std::string& fileName)
{
    name = fileName;
    texture = Held<Texture2D>(fileName);
    // The texture is decoded and its image already given back, so this
    // decodes the picture a second time, just for measuring.
    const Held<Image> image(fileName);
    setFiltering(image->getWidth());
    measureGlyphs(image->getSurface(), image->getInternalFormat() == GL_RGBA, image->getWidth());
}

void TextureFont::unload()
{
    texture.reset();
}

void TextureFont::setFiltering(int32_t pictureWidth) const
{
    // Bound here rather than relied on as left bound by the texture's
    // loading: a texture another holder loaded earlier is not bound anew.
    glBindTexture(GL_TEXTURE_2D, texture->getId());
    const GLint filter = pictureWidth >= linearFromWidth ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
}

void TextureFont::measureGlyphs(SDL_Surface* surface, bool alphaInk, int32_t pictureWidth)
{
    size = pictureWidth;
    const SurfaceLock lock(surface);
    const bool readable = surface != nullptr && lock.readable();
    const auto inked = [&](int x, int y) { return readable && isInked(surface, alphaInk, x, y); };

    const int cellSide = size / cellsPerRow;
    // A cell without ink keeps the edges of the cell before it.
    int left = 0;
    int right = size;
    for (int row = 0; row < cellsPerRow; ++row) {
        for (int column = 0; column < cellsPerRow; ++column) {
            const Cell cell{column * cellSide, (column + 1) * cellSide, row * cellSide, (row + 1) * cellSide};
            left = leftEdge(cell, inked).value_or(left);
            right = rightEdge(cell, inked).value_or(right);
            const int number = row * cellsPerRow + column;
            letters[static_cast<std::size_t>(number / 2)].sets[static_cast<std::size_t>(number % 2)] =
                corners(left, right, cell, size);
        }
    }
}

bool TextureFont::isInked(const SDL_Surface* surface, bool alphaInk, int x, int y) const
{
    const Uint32 pixel = getPixel(surface, x, y);
    if (!alphaInk)
        return pixel != 0;
    // A palettised picture with one transparent entry carries its alpha as
    // a colour key, which SDL_GetRGBA does not report.
    if (Platform::colorKey(*surface) == pixel)
        return false;
    Uint8 red = 0, green = 0, blue = 0, alpha = 0;
    SDL_GetRGBA(pixel, surface->format, &red, &green, &blue, &alpha);
    return alpha != 0;
}

Uint32 TextureFont::getPixel(const SDL_Surface* surface, int x, int y) const
{
    return surface == nullptr ? 0 : pixelValue(*surface, x, y);
}

const TextureFont::Letters& TextureFont::getLetters() const
{
    return letters;
}

Texture2D* TextureFont::getTexture() const
{
    return texture.get();
}

int32_t TextureFont::getSize() const
{
    return size;
}
