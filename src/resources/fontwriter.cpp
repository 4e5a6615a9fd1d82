// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "resources/fontwriter.h"

#include "engine/config.h"
#include "resources/resourcemanager.h"
#include "resources/texture2d.h"

#include <GL/gl.h>

#include <cmath>
#include <stdexcept>

namespace {

constexpr float spaceAdvance = 5.0f;
constexpr float glyphGap = 1.0f;
// Bytes without a glyph of their own draw this one.
constexpr unsigned char substituteCode = '$';

std::size_t letterIndex(unsigned char byte)
{
    if (byte < TextureFont::firstCode || byte > TextureFont::lastCode)
        byte = substituteCode;
    return static_cast<std::size_t>(byte - TextureFont::firstCode);
}

bool isMeasured(const GlyphCorners& glyph)
{
    return !std::isnan(glyph[0].u);
}

} // namespace

void FontWriter::load()
{
    for (const char* file : fontFiles)
        fonts.emplace_back(file);
    setFont(*fonts.back());
}

void FontWriter::unload()
{
    fonts.clear();
    currentFont = nullptr;
}

void FontWriter::selectFont(int32_t index)
{
    const auto position = static_cast<uint32_t>(index);
    if (position < fonts.size())
        setFont(*fonts[position]);
}

void FontWriter::setHighlight(bool on)
{
    highlight = on;
}

void FontWriter::setFont(TextureFont& font)
{
    currentFont = &font;
    const auto size = static_cast<float>(font.getSize());
    scaleX = size * static_cast<float>(Config::get("renderer_width")) / static_cast<float>(Config::get("window_width"));
    scaleY = size * static_cast<float>(Config::get("renderer_height")) / static_cast<float>(Config::get("window_height"));
}

void FontWriter::write2D(std::string_view text, int32_t x, int32_t y) const
{
    if (currentFont == nullptr)
        throw std::runtime_error("src/fontwriter: Error with write2D: No Font Loaded.");

    glBindTexture(GL_TEXTURE_2D, currentFont->getTexture()->getId());
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnable(GL_BLEND);
    glLoadIdentity();
    glTranslatef(0.0f, static_cast<float>(y), 0.0f);

    // All glyphs in one begin/end pair: the pen moves along x in the
    // vertices, adding up the same advances that used to move the matrix.
    float pen = static_cast<float>(x);
    glBegin(GL_QUADS);
    // Bytes are unsigned: 128 to 145 have glyphs of their own.
    for (const unsigned char byte : text) {
        if (byte == ' ') {
            pen += spaceAdvance;
            continue;
        }
        const float width = drawGlyph(glyphFor(byte), pen);
        pen += width + glyphGap;
    }
    glEnd();
    glTranslatef(pen, 0.0f, 0.0f);

    glDisable(GL_BLEND);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

const GlyphCorners& FontWriter::glyphFor(unsigned char byte) const
{
    const Letter& letter = currentFont->getLetters()[letterIndex(byte)];
    const GlyphCorners& highlighted = letter.sets[Letter::highlightSet];
    // The last code has no highlight cell; its corners were never measured.
    return highlight && isMeasured(highlighted) ? highlighted : letter.sets[Letter::normalSet];
}

float FontWriter::drawGlyph(const GlyphCorners& glyph, float left) const
{
    const auto& [topLeft, topRight, bottomRight, bottomLeft] = glyph;
    const float width = scaleX * (topRight.u - topLeft.u);
    // Negative: the glyph hangs below the current point.
    const float height = scaleY * (topRight.v - bottomRight.v);
    // The normal faces the viewer. It goes with every corner: OpenGL
    // emulations that record whole vertices take no normal outside
    // glBegin and glEnd.
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord2f(topLeft.u, topLeft.v);
    glVertex2f(left, 0.0f);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord2f(topRight.u, topRight.v);
    glVertex2f(left + width, 0.0f);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord2f(bottomRight.u, bottomRight.v);
    glVertex2f(left + width, height);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord2f(bottomLeft.u, bottomLeft.v);
    glVertex2f(left, scaleY * (topLeft.v - bottomRight.v));
    return width;
}
