// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "resources/resource.h"
#include "resources/resourcemanager.h"

#include <SDL/SDL.h>

#include <array>
#include <cstdint>
#include <limits>

class Texture2D;

// A texture coordinate pair; NaN until the font measured it.
struct TexCoord {
    float u = std::numeric_limits<float>::quiet_NaN();
    float v = std::numeric_limits<float>::quiet_NaN();
};

// One glyph's corners in the font picture: top-left, top-right,
// bottom-right, bottom-left.
using GlyphCorners = std::array<TexCoord, 4>;

// The two glyphs of one character code.
struct Letter {
    static constexpr std::size_t normalSet = 0;
    static constexpr std::size_t highlightSet = 1;
    std::array<GlyphCorners, 2> sets;
};

// A bitmap font: a square picture holding a 15 by 15 grid of square cells,
// read row by row. Cell 2k is the normal glyph and cell 2k + 1 the highlight
// glyph of character code 33 + k; code 145 has only its normal glyph (cell
// 224). Each glyph spans its whole cell vertically and, horizontally, its
// inked columns: with alpha, pixels whose alpha is not 0 (a colour-keyed
// pixel has none); without, pixels whose value is not 0 (black is background).
class TextureFont : public Resource {
public:
    static constexpr const char* qualifiedName = "texturefont.TextureFont";
    static constexpr int firstCode = 33;
    static constexpr int lastCode = 145;
    static constexpr int cellsPerRow = 15;
    // Wider pictures are sampled linearly, narrower ones nearest.
    static constexpr int32_t linearFromWidth = 512;

    // Indexed by character code minus firstCode.
    using Letters = std::array<Letter, lastCode - firstCode + 1>;

    // Holds the picture's texture and measures every glyph on a second,
    // briefly held decoding of the picture. No fallback of its own: a
    // missing picture shows the resource layer's default picture.
    void load(const std::string& fileName) override;
    // Gives the texture back.
    void unload() override;
    // The measuring part of load(): every glyph's corners in a picture
    // pictureWidth pixels wide, read from surface (null reads as empty),
    // with alpha (alphaInk) or the pixel value telling ink from background.
    void measureGlyphs(SDL_Surface* surface, bool alphaInk, int32_t pictureWidth);

    // The 1- to 4-byte pixel value at column x, row y, as SDL stores it;
    // 0 for other depths and for positions outside the surface, so a
    // picture smaller than its grid reads as empty there.
    virtual Uint32 getPixel(const SDL_Surface* surface, int x, int y) const;
    virtual const Letters& getLetters() const;
    // Held by the font until its unload; null before load.
    virtual Texture2D* getTexture() const;
    // The picture's width in pixels.
    virtual int32_t getSize() const;

private:
    void setFiltering(int32_t pictureWidth) const;
    bool isInked(const SDL_Surface* surface, bool alphaInk, int x, int y) const;

    Held<Texture2D> texture;
    Letters letters{};
    int32_t size = 0;
};
