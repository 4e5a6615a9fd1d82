// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "resources/texturefont.h"

#include "resources/resourcemanager.h"
#include "tempdir.h"
#include "testpicture.h"
#include "resources/texture2d.h"

#include <gtest/gtest.h>

namespace {

using Form = TestPicture::Form;
constexpr int side = 150; // 10-pixel cells

// Known ink per cell. Except in the BMP the background pixels are not
// 0, so only alpha or the colour key tells them from ink.
void writeEdgeFont(Form form)
{
    TestPicture picture(side, side, form == Form::Bmp ? Rgba{0, 0, 0, 255} : Rgba{255, 255, 255, 0});
    const Rgba ink{10, 20, 30, 255};
    picture.fill(12, 9, 15, 10, ink);      // cell 1: columns 12 to 14, in its bottom row only
    picture.fill(39, 0, 40, 1, ink);       // cell 3: its last column...
    picture.fill(40, 5, 41, 6, ink);       // ...and cell 4's first, which must stay out of cell 3
    picture.fill(0, 10, 10, 11, ink);      // cell 15, first of row 1: the whole width
    picture.fill(141, 149, 142, 150, ink); // cell 224, the last one
    picture.fill(147, 140, 148, 141, ink);
    picture.save("font.png", form);
}

// Corners top-left, top-right, bottom-right, bottom-left of a 10-pixel-high cell.
void expectGlyph(const GlyphCorners& glyph, int left, int right, int top)
{
    const int pixels[8] = {left, top, right, top, right, top + 10, left, top + 10};
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_FLOAT_EQ(static_cast<float>(pixels[i]) / side, i % 2 ? glyph[i / 2].v : glyph[i / 2].u) << i;
}

// Alpha, a colour key or black tells background from ink. Pictures from 512
// pixels are filtered linearly, narrower ones nearest.
TEST(FontPicture, GlyphsSpanTheInkedColumnsEmptyCellsKeepThePreviousEdgesAndLargePicturesAreFilteredLinearly)
{
    ScopedWorkDir dir;
    ResourceManager& manager = ResourceManager::getInstance();
    for (const Form form : {Form::RgbaPng, Form::KeyedPng, Form::Bmp}) {
        SCOPED_TRACE(static_cast<int>(form));
        writeEdgeFont(form);
        const std::size_t before = manager.getResourceCount();
        Held<TextureFont> font("font.png");
        EXPECT_EQ(before + 2, manager.getResourceCount()) << "the font and its texture; the image is given back";
        EXPECT_EQ(side, font->getSize());
        const TextureFont::Letters& letters = font->getLetters();
        expectGlyph(letters[0].sets[0], 0, side, 0); // empty first cell: the whole width
        expectGlyph(letters[0].sets[1], 12, 15, 0);
        expectGlyph(letters[1].sets[0], 12, 15, 0); // empty
        expectGlyph(letters[1].sets[1], 39, 40, 0);
        expectGlyph(letters[2].sets[0], 40, 41, 0);
        expectGlyph(letters[7].sets[1], 0, 10, 10);
        expectGlyph(letters[112].sets[0], 141, 148, 140);
        font.reset();
        EXPECT_EQ(before, manager.getResourceCount());
    }
    for (const auto& [width, filter] : {std::pair{256, GL_NEAREST}, {511, GL_NEAREST}, {512, GL_LINEAR}}) {
        TestPicture(width, width, {0, 0, 0, 255}).save("font.png");
        const Held<TextureFont> font("font.png");
        glBindTexture(GL_TEXTURE_2D, font->getTexture()->getId());
        for (const GLenum which : {GL_TEXTURE_MAG_FILTER, GL_TEXTURE_MIN_FILTER}) {
            GLint used = 0;
            glGetTexParameteriv(GL_TEXTURE_2D, which, &used);
            EXPECT_EQ(filter, used) << width;
        }
    }
}

} // namespace
