// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Developer tool, not part of the game: draws every glyph of the four game
// fonts, normal and highlighted, over the sky colour and over the terrain
// textures, and saves the picture as a PNG.
//
//     fontsheet <folder holding resources/> <output.png>
//
// Needs an X display (xvfb-run works).

#include "backbuffer.h"
#include "engine/config.h"
#include "resources/fontwriter.h"
#include "engine/renderer.h"
#include "resources/resourcemanager.h"
#include "resources/texture2d.h"
#include "resources/texturefont.h"
#include "engine/window.h"

#include <GL/gl.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int sheetWidth = 1280;
constexpr int sheetHeight = 1024;
constexpr int columnWidth = sheetWidth / 2;
constexpr int margin = 12;

struct Colour {
    float r, g, b;
};
constexpr Colour sky{0.5f, 0.5f, 0.8f}; // the renderer's clear colour
constexpr Colour labelBand{0.15f, 0.15f, 0.2f};
// Cycled through block by block, so each glyph set shows over each of them.
constexpr const char* terrainTextures[] = {
    "resources/textures/terrain/grass.png",
    "resources/textures/terrain/earth.png",
    "resources/textures/lvls/sand.png",
};

// Every byte that has a glyph, in code order.
std::string allGlyphs()
{
    std::string text;
    for (int code = TextureFont::firstCode; code <= TextureFont::lastCode; ++code)
        text.push_back(static_cast<char>(code));
    return text;
}

// The advance of one byte in renderer units, as the writer moves on after it
// (renderer and window have the same size here, so a font pixel is a unit).
float advance(const TextureFont& font, unsigned char byte, bool highlight)
{
    if (byte == ' ')
        return 5.0f;
    const Letter& letter = font.getLetters()[static_cast<std::size_t>(byte - TextureFont::firstCode)];
    const GlyphCorners& glyph = letter.sets[highlight && byte != TextureFont::lastCode ? 1 : 0];
    return (glyph[1].u - glyph[0].u) * static_cast<float>(font.getSize()) + 1.0f;
}

// Breaks text into lines no wider than width.
std::vector<std::string> wrap(const TextureFont& font, const std::string& text, bool highlight, float width)
{
    std::vector<std::string> lines(1);
    float used = 0.0f;
    for (const char byte : text) {
        const float step = advance(font, static_cast<unsigned char>(byte), highlight);
        if (used + step > width && !lines.back().empty()) {
            lines.emplace_back();
            used = 0.0f;
        }
        lines.back().push_back(byte);
        used += step;
    }
    return lines;
}

void fillRectangle(int x0, int y0, int x1, int y1, const Colour& colour)
{
    glDisable(GL_TEXTURE_2D);
    glLoadIdentity();
    glColor3f(colour.r, colour.g, colour.b);
    glBegin(GL_QUADS);
    glVertex2i(x0, y0);
    glVertex2i(x1, y0);
    glVertex2i(x1, y1);
    glVertex2i(x0, y1);
    glEnd();
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
}

// Tiles a texture at its own size over a rectangle.
void tileRectangle(int x0, int y0, int x1, int y1, const std::string& file)
{
    const Held<Texture2D> texture(file);
    glBindTexture(GL_TEXTURE_2D, texture->getId());
    GLint width = 1, height = 1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    const float s = static_cast<float>(x1 - x0) / static_cast<float>(width);
    const float t = static_cast<float>(y1 - y0) / static_cast<float>(height);
    glLoadIdentity();
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2i(x0, y0);
    glTexCoord2f(s, 0.0f);
    glVertex2i(x1, y0);
    glTexCoord2f(s, t);
    glVertex2i(x1, y1);
    glTexCoord2f(0.0f, t);
    glVertex2i(x0, y1);
    glEnd();
}

// Draws one block (a font in one glyph set) in both columns, from the top
// edge `top` downwards (y grows upwards); answers the block's lower edge.
int drawBlock(std::size_t fontIndex, bool highlight, const std::string& terrain, int top)
{
    FontWriter& writer = FontWriter::getInstance();
    const Held<TextureFont> font(FontWriter::fontFiles[fontIndex]);
    const int lineHeight = font->getSize() / TextureFont::cellsPerRow;
    const auto lines = wrap(*font, allGlyphs(), highlight, columnWidth - 2 * margin);

    const int labelHeight = 20;
    const int bottom = top - labelHeight - lineHeight * static_cast<int>(lines.size()) - margin;
    fillRectangle(0, bottom, columnWidth, top, sky);
    tileRectangle(columnWidth, bottom, sheetWidth, top, terrain);
    fillRectangle(0, top - labelHeight, sheetWidth, top, labelBand);

    const std::string label = std::filesystem::path(FontWriter::fontFiles[fontIndex]).filename().string() +
                              (highlight ? "  highlight" : "  normal");
    writer.selectFont(0);
    writer.setHighlight(false);
    writer.write2D(label, margin, top - 2);

    writer.selectFont(static_cast<int32_t>(fontIndex));
    writer.setHighlight(highlight);
    for (const int left : {margin, columnWidth + margin}) {
        int y = top - labelHeight;
        for (const std::string& line : lines) {
            writer.write2D(line, left, y);
            y -= lineHeight;
        }
    }
    writer.setHighlight(false);
    return bottom;
}

void savePng(const std::string& file, int height)
{
    saveFramePng(file, 0, sheetHeight - height, sheetWidth, height);
}

// The writer reads its scales from the configuration: window and renderer
// the size of the sheet.
void loadSheetConfiguration()
{
    const std::string file = (std::filesystem::temp_directory_path() / ("fontsheet-" + std::to_string(getpid()) + ".cfg")).string();
    std::ofstream(file) << "window_width " << sheetWidth << "\nwindow_height " << sheetHeight << "\nrenderer_width "
                        << sheetWidth << "\nrenderer_height " << sheetHeight << "\nfullscreen 0\n";
    Config::load(file);
    std::filesystem::remove(file);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: fontsheet <folder holding resources/> <output.png>\n";
        return 2;
    }
    try {
        const std::string output = std::filesystem::absolute(argv[2]).string();
        std::filesystem::current_path(argv[1]);
        loadSheetConfiguration();
        Window::getInstance().start();
        Renderer::getInstance().start();
        Renderer::getInstance().update();
        Renderer::getInstance().setOrtho();
        glDisable(GL_DEPTH_TEST);

        FontWriter& writer = FontWriter::getInstance();
        writer.load();
        int top = sheetHeight;
        std::size_t block = 0;
        for (const bool highlight : {false, true})
            for (std::size_t font = 0; font < FontWriter::fontFiles.size(); ++font, ++block)
                top = drawBlock(font, highlight, terrainTextures[block % std::size(terrainTextures)], top);
        if (top < 0)
            throw std::runtime_error("the glyphs do not fit on the sheet");
        savePng(output, sheetHeight - top);
        writer.unload();
        Window::getInstance().stop();
        std::cout << "fontsheet: wrote " << output << " (" << sheetWidth << " x " << sheetHeight - top << ")\n";
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "fontsheet: " << error.what() << '\n';
        return 1;
    }
}
