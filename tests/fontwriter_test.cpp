#include "fontwriter.h"

#include "config.h"
#include "glcapture.h"
#include "renderer.h"
#include "resourcemanager.h"
#include "tempdir.h"
#include "testpicture.h"
#include "texture2d.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace {

// Where one glyph landed: window coordinates, the s of its left edge and
// the t of its top edge.
struct GlyphBox {
    float left, right, bottom, top, leftS, topT;
};

// Feedback hands each quad back as triangles spanning its width; triangles
// around the same x are one glyph.
std::vector<GlyphBox> glyphBoxes(const std::vector<FeedbackPrimitive>& primitives)
{
    std::vector<GlyphBox> boxes;
    for (const FeedbackPrimitive& primitive : primitives) {
        const FeedbackVertex& first = primitive.vertices.at(0);
        const float centre = (first.x + primitive.vertices.at(1).x + primitive.vertices.at(2).x) / 3;
        auto box = std::find_if(boxes.begin(), boxes.end(), [&](const GlyphBox& b) { return b.left < centre && centre < b.right; });
        if (box == boxes.end())
            box = boxes.insert(boxes.end(), {first.x, first.x, first.y, first.y, first.s, first.t});
        for (const FeedbackVertex& vertex : primitive.vertices) {
            if (vertex.x < box->left)
                box->left = vertex.x, box->leftS = vertex.s;
            if (vertex.y > box->top)
                box->top = vertex.y, box->topT = vertex.t;
            box->right = std::max(box->right, vertex.x);
            box->bottom = std::min(box->bottom, vertex.y);
        }
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
        dir.writeFile("resources/config.cfg",
                      configText({{"renderer_width", rendererWidth}, {"renderer_height", rendererHeight},
                                  {"window_width", windowWidth}, {"window_height", windowHeight}}));
        Config::load("resources/config.cfg");
        Renderer::getInstance().start();
        Renderer::getInstance().setOrtho();
        writer.selectFont(3); // the scales are read when a font is set
    }

    std::vector<GlyphBox> draw(const std::string& text) const
    {
        return glyphBoxes(captureFeedback([&] { writer.write2D(text, 100, 200); }));
    }

    // Cell n of the last font: 13-pixel cells in 195 pixels.
    static void expectCell(int n, const GlyphBox& box)
    {
        EXPECT_NEAR(static_cast<float>(n % 15 * 13 + 1) / 195, box.leftS, 1e-5f) << "cell " << n;
        EXPECT_NEAR(static_cast<float>(n / 15 * 13) / 195, box.topT, 1e-5f) << "cell " << n;
    }

    ScopedWorkDir dir;
    FontWriter& writer = FontWriter::getInstance();
    ResourceManager& manager = ResourceManager::getInstance();
    std::size_t tableBefore = 0;
};

TEST_F(FontWriterTest, GlyphsHangOneCellBelowYWithFiveUnitSpacesAndOneUnitGaps)
{
    auto glyphs = draw("A");
    ASSERT_EQ(1u, glyphs.size());
    EXPECT_NEAR(100.0f, glyphs[0].left, 1e-3f);
    EXPECT_NEAR(110.0f, glyphs[0].right, 1e-3f);
    EXPECT_NEAR(200.0f, glyphs[0].top, 1e-3f);
    EXPECT_NEAR(187.0f, glyphs[0].bottom, 1e-3f);
    expectCell(64, glyphs[0]);

    EXPECT_NEAR(105.0f, draw(" A").at(0).left, 1e-3f);
    glyphs = draw("AA");
    ASSERT_EQ(2u, glyphs.size());
    EXPECT_NEAR(111.0f, glyphs[1].left, 1e-3f);
}

TEST_F(FontWriterTest, OneFontPixelCoversOneWindowPixelWhateverTheRendererSize)
{
    useSizes(1024, 768, 512, 384);
    const auto glyphs = draw("A A");
    ASSERT_EQ(2u, glyphs.size());
    EXPECT_NEAR(20.0f, glyphs[0].right - glyphs[0].left, 1e-3f);
    EXPECT_NEAR(26.0f, glyphs[0].top - glyphs[0].bottom, 1e-3f);
    EXPECT_NEAR(126.0f, glyphs[1].left, 1e-3f) << "spaces and gaps stay in renderer units";
}

TEST_F(FontWriterTest, HighlightDrawsTheOddCellsAndTheLastCodeItsNormalGlyph)
{
    writer.setHighlight(true);
    expectCell(1, draw("!").at(0));
    const auto last = draw("\x91");
    ASSERT_EQ(1u, last.size()) << "one quad with defined corners";
    expectCell(224, last[0]);
    writer.setHighlight(false);
    expectCell(0, draw("!").at(0));
}

TEST_F(FontWriterTest, BytesWithoutAGlyphDrawTheDollarSignAndBytesUpTo145TheirOwn)
{
    const auto substituted = draw(std::string{'\x05', '\0', '\x1f', '\x92', '\xc8', '\xff'});
    ASSERT_EQ(6u, substituted.size());
    for (const GlyphBox& glyph : substituted)
        expectCell(6, glyph);

    const auto own = draw("\x7f\x80\x8c\x91");
    ASSERT_EQ(4u, own.size());
    for (const auto& [glyph, cell] : {std::pair{0, 188}, {1, 190}, {2, 214}, {3, 224}})
        expectCell(cell, own[static_cast<std::size_t>(glyph)]);
}

TEST_F(FontWriterTest, FontsComeInFileOrderAndOtherIndicesChangeNothing)
{
    const auto glyphHeight = [this] {
        const GlyphBox glyph = draw("A").at(0);
        return glyph.top - glyph.bottom;
    };
    EXPECT_NEAR(13.0f, glyphHeight(), 1e-3f) << "the last font is current after load";
    for (const int index : {1, 2, 0, 4, 7, -1})
        writer.selectFont(index);
    EXPECT_NEAR(10.0f, glyphHeight(), 1e-3f);
}

TEST_F(FontWriterTest, DrawsThePicturesOwnColoursBlendedAndRestoresTheState)
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
    GLint value = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(GL_MODULATE, value);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    EXPECT_NE(0, value) << "the font's texture";
    EXPECT_FLOAT_EQ(30.0f, currentMatrix(GL_MODELVIEW)[12]);
    EXPECT_FLOAT_EQ(40.0f, currentMatrix(GL_MODELVIEW)[13]);
}

TEST_F(FontWriterTest, WithoutAFontWriteThrowsAndSelectingDoesNotHelp)
{
    writer.unload();
    writer.selectFont(0);
    try {
        writer.write2D("A", 0, 0);
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ("src/fontwriter: Error with write2D: No Font Loaded.", error.what());
    }
}

} // namespace
