// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The font writer's drawing of strings at any renderer scale, on fonts whose
// glyph edges the test knows.

#include "engine/renderer.h"
#include "resources/fontwriter.h"
#include "resources/resourcemanager.h"

#include "engineenvironment.h"
#include "glcapture.h"
#include "menufixture.h"
#include "tempdir.h"
#include "testpicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// Where one glyph landed: window coordinates, the s of its left edge and
// the t of its top edge.
struct GlyphBox {
    float left, right, bottom, top, leftS, topT;
};

// Feedback hands each quad back as two triangles, each spanning the whole
// glyph, whose texture runs left to right and top down.
std::vector<GlyphBox> glyphBoxes(const std::vector<FeedbackPrimitive>& primitives)
{
    std::vector<GlyphBox> boxes;
    for (const FeedbackPrimitive& primitive : primitives) {
        const Rect r = boundsOf(primitive);
        if (!boxes.empty() && boxes.back().left == r.left)
            continue; // the quad's other triangle
        float s = INFINITY, t = INFINITY;
        for (const FeedbackVertex& vertex : primitive.vertices)
            s = std::min(s, vertex.s), t = std::min(t, vertex.t);
        boxes.push_back({r.left, r.right, r.bottom, r.top, s, t});
    }
    return boxes;
}

class FontWriterTest : public ::testing::Test {
protected:
    // Fonts of 150 to 195 pixels (cells of 10 to 13). Black ink in the
    // middle row of every cell, from its second column over cell - 3
    // columns: the last font's glyphs are 10 pixels wide.
    void SetUp() override
    {
        for (int font = 0; font < 4; ++font) {
            const int side = 150 + 15 * font, cell = side / 15;
            TestPicture picture(side, side, {255, 255, 255, 0});
            for (int y = cell / 2; y < side; y += cell)
                for (int x = 0; x < side; x += cell)
                    picture.fill(x + 1, y, x + cell - 2, y + 1, {0, 0, 0, 255});
            picture.save(FontWriter::fontFiles[static_cast<std::size_t>(font)], TestPicture::Form::RgbaPng);
        }
        tableBefore = manager.getResourceCount();
        writer.load();
        Renderer::getInstance().setOrtho();
    }
    void TearDown() override
    {
        useSizes(640, 480, 640, 480);
        writer.setHighlight(false);
        writer.unload();
        EXPECT_EQ(tableBefore, manager.getResourceCount()) << "every font and texture given back";
    }

    void useSizes(int rendererWidth, int rendererHeight, int windowWidth, int windowHeight)
    {
        restartRenderer(dir, {{"renderer_width", rendererWidth}, {"renderer_height", rendererHeight},
                              {"window_width", windowWidth}, {"window_height", windowHeight}});
        writer.selectFont(3); // the scales are read when a font is set
    }

    std::vector<GlyphBox> draw(const std::string& text) const
    {
        return glyphBoxes(captureFeedback([&] { writer.write2D(text, 100, 200); }));
    }

    // The cell of the last font (13-pixel cells in 195 pixels) each glyph shows.
    std::vector<long> cells(const std::string& text) const
    {
        std::vector<long> cells;
        for (const GlyphBox& box : draw(text))
            cells.push_back(std::lround(box.topT * 15) * 15 + std::lround((box.leftS * 195 - 1) / 13));
        return cells;
    }

    ScopedWorkDir dir;
    FontWriter& writer = FontWriter::getInstance();
    ResourceManager& manager = ResourceManager::getInstance();
    std::size_t tableBefore = 0;
};

TEST_F(FontWriterTest, DrawsThePicturesOwnColoursRestoresTheStateGlyphsHangOneCellBelowYAndEachByteDrawsItsCell)
{
    Renderer::getInstance().update();
    glColor3ub(255, 0, 0); // must not tint the glyphs
    writer.write2D("A", 100, 200);
    glColor3ub(255, 255, 255);
    EXPECT_EQ((Rgba{0, 0, 0, 255}), pixelAt(105, 193)) << "ink row";
    EXPECT_EQ((Rgba{128, 128, 204, 255}), pixelAt(105, 190)) << "transparent background";

    // The empty text draws nothing but still sets up and restores.
    const std::vector<Rgba> before = readPixels(0, 0, 640, 480);
    glEnable(GL_BLEND);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    glBindTexture(GL_TEXTURE_2D, 0);
    writer.write2D("", 30, 40);
    EXPECT_TRUE(before == readPixels(0, 0, 640, 480));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_TRUE(mode == GL_MODULATE && glInteger(GL_TEXTURE_BINDING_2D) != 0) << "modulating, the font's texture bound";
    EXPECT_FLOAT_EQ(30.0f, currentMatrix(GL_MODELVIEW)[12]);
    EXPECT_FLOAT_EQ(40.0f, currentMatrix(GL_MODELVIEW)[13]);

    // k window pixels per renderer unit: glyphs stay 10 x 13 window pixels,
    // spaces and gaps stay 5 and 1 renderer units.
    for (const float k : {1.0f, 2.0f}) {
        useSizes(static_cast<int>(640 * k), static_cast<int>(480 * k), 640, 480);
        const auto glyphs = draw("AA A");
        ASSERT_EQ(3u, glyphs.size());
        const float expected[][2] = {{100, glyphs[0].left},          {100 + 10 * k, glyphs[0].right},
                                     {200, glyphs[0].top},           {200 - 13 * k, glyphs[0].bottom},
                                     {101 + 10 * k, glyphs[1].left}, {107 + 20 * k, glyphs[2].left}};
        for (const auto& [want, got] : expected)
            EXPECT_NEAR(want, got, 1e-3f) << k;
        // Cell 64, its ink starting one column in.
        EXPECT_NEAR(static_cast<float>(4 * 13 + 1) / 195, glyphs[0].leftS, 1e-5f);
        EXPECT_NEAR(static_cast<float>(4 * 13) / 195, glyphs[0].topT, 1e-5f);
    }

    // Each byte draws its cell; the fonts come in file order, and without a font write throws.
    useSizes(640, 480, 640, 480);
    // Bytes without a glyph draw the dollar sign, those above 127 too (chars are signed here).
    EXPECT_EQ((std::vector<long>{6, 6, 6, 6, 6, 6}), cells(std::string("\x05\0\x1f\x92\xc8\xff", 6)));
    EXPECT_EQ((std::vector<long>{188, 190, 214, 224, 0}), cells("\x7f\x80\x8c\x91!"));
    // Code 145 has no highlight cell: one quad of its normal glyph.
    writer.setHighlight(true);
    EXPECT_EQ((std::vector<long>{1, 224}), cells("!\x91"));

    const auto glyphHeight = [this] {
        const GlyphBox glyph = draw("A").at(0);
        return glyph.top - glyph.bottom;
    };
    EXPECT_NEAR(13.0f, glyphHeight(), 1e-3f) << "the last font is current after load";
    for (const int index : {1, 2, 0, 4, 7, -1})
        writer.selectFont(index);
    EXPECT_NEAR(10.0f, glyphHeight(), 1e-3f);

    writer.unload();
    writer.selectFont(0); // does not help
    EXPECT_EQ("src/fontwriter: Error with write2D: No Font Loaded.",
              thrownMessage([this] { writer.write2D("A", 0, 0); }));
}

} // namespace
