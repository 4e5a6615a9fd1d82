// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <GL/glew.h>

#include "world/heightmap.h"
#include "resources/meshzms.h"
#include "engine/renderer.h"
#include "resources/resourcemanager.h"
#include "resources/texture2d.h"

#include "glcapture.h"
#include "tempdir.h"
#include "testpicture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <set>
#include <tuple>

namespace {

// One untextured triangle standing at y 3 to 3.5, away from any ground a
// test draws, so that feedback tells decorations from terrain.
const char* const triangleMesh = "0 3 1 0  0 0 1 0 3 0  0 0 1 0.5 3 0  0 0 1 0 3.5 0  1 0 0 1 3 0 1 2\n";
const char* const vertexShader = "void main() { gl_Position = ftransform(); gl_TexCoord[0] = gl_MultiTexCoord0;"
                                 " gl_TexCoord[1] = gl_MultiTexCoord1; gl_TexCoord[2] = gl_MultiTexCoord2;"
                                 " gl_TexCoord[3] = gl_MultiTexCoord3; }";
const char* const fragmentShader = "uniform sampler2D tex0, tex1, tex2, tex3; void main() { gl_FragColor ="
                                   " texture2D(tex0, gl_TexCoord[0].st) * texture2D(tex1, gl_TexCoord[1].st) *"
                                   " texture2D(tex2, gl_TexCoord[2].st) * texture2D(tex3, gl_TexCoord[3].st); }";

Rgba redGreen(int red, int green)
{
    return {static_cast<uint8_t>(red), static_cast<uint8_t>(green), 0, 255};
}

void expectPoint(float x, float y, float z, const Point3D& actual)
{
    EXPECT_TRUE(std::abs(actual.x - x) < 1e-6f && std::abs(actual.y - y) < 1e-6f && std::abs(actual.z - z) < 1e-6f)
        << actual.x << ',' << actual.y << ',' << actual.z;
}

// What a draw call submitted, seen from above through a projection in which
// world x -100..1100 spans the 640-pixel window: the ground triangles (named
// by the smallest x of each), then the decorations (named by their x).
// Triangles without area (those that join strips) draw nothing and are left out.
using Submitted = std::pair<std::multiset<int>, std::multiset<int>>;

bool hasArea(const FeedbackPrimitive& triangle)
{
    const FeedbackVertex &a = triangle.vertices.at(0), &b = triangle.vertices.at(1), &c = triangle.vertices.at(2);
    return (b.x - a.x) * (c.y - a.y) != (c.x - a.x) * (b.y - a.y);
}

Submitted submitted(const std::function<void()>& draw, std::size_t capacityFloats = 1 << 20)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-100.0, 1100.0, -1.0, 9.0, -500.0, 500.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    Submitted result;
    for (const FeedbackPrimitive& primitive : captureFeedback(draw, capacityFloats)) {
        if (!hasArea(primitive))
            continue;
        float x = INFINITY, y = INFINITY;
        for (const FeedbackVertex& vertex : primitive.vertices) {
            x = std::min(x, vertex.x * 1200.0f / 640.0f - 100.0f);
            y = std::min(y, vertex.y * 10.0f / 480.0f - 1.0f);
        }
        (y > 2.5f ? result.second : result.first).insert(static_cast<int>(std::lround(x)));
    }
    Renderer::getInstance().setPerspective();
    return result;
}

// Two ground triangles per strip of a two-row terrain.
std::multiset<int> strips(int first, int end)
{
    std::multiset<int> triangles;
    for (int i = first; i < end; ++i)
        triangles.insert({i, i});
    return triangles;
}

class TerrainTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        before = manager().getResourceCount();
        // The loader goes by content, so a BMP serves as the default picture.
        TestPicture(1, 1, Rgba{128, 128, 128, 255}).save("resources/textures/standardpic.png");
        dir.writeFile("resources/meshes/defaultmesh.zms", triangleMesh);
        dir.writeFile("deco.zms", triangleMesh);
        dir.writeFile("resources/shaders/vertexshader_terrain.fx", vertexShader);
        dir.writeFile("resources/shaders/fragmentshader_terrain.fx", fragmentShader);
        const Rgba colours[] = {{255, 255, 255, 255}, {255, 128, 255, 255}, {255, 255, 128, 255}, {128, 255, 255, 255}};
        for (int unit = 0; unit < 4; ++unit)
            TestPicture(2, 2, colours[unit]).save("t" + std::to_string(unit) + ".bmp");
    }
    void TearDown() override
    {
        held.clear();
        EXPECT_EQ(before, manager().getResourceCount()); // textures, mesh and image all went back
    }

    static ResourceManager& manager() { return ResourceManager::getInstance(); }

    const Heightmap& load(const std::string& text)
    {
        const std::string file = "terrain" + std::to_string(held.size()) + ".txt";
        dir.writeFile(file, text);
        output = capturedStdout([&] { held.emplace_back(file); });
        return *held.back();
    }

    // A terrain over a width x height image coloured rgb(i, j), with four
    // textures, repeats 2 3 4 and the decoration at scale 0.01.
    const Heightmap& loadOver(int width, int height, const std::function<Rgba(int, int)>& rgb,
                             const std::string& scales = "1 1 1")
    {
        const std::string image = "h" + std::to_string(held.size()) + ".bmp";
        TestPicture(width, height, rgb).save(image);
        return load(image + " " + scales + "\nt0.bmp t1.bmp t2.bmp t3.bmp\n2 3 4\ndeco.zms 0.01\n");
    }

    ScopedWorkDir dir;
    std::vector<Held<Heightmap>> held;
    std::size_t before = 0;
    std::string output;
};

TEST_F(TerrainTest, BuildsPositionsAndDecorationsAndDrawsThemAroundTheView)
{
    const Heightmap& flat = loadOver(2, 2, [](int, int) { return redGreen(7, 0); }, "2 3 0.5");
    EXPECT_EQ("", output);
    ASSERT_EQ(4u, flat.getVertices().size());
    const Vertex& last = flat.getVertices()[3]; // grid point (1, 1)
    EXPECT_EQ((std::vector<float>{2, 3, 3.5f, 0, 0, 1}),
              (std::vector<float>{last.x, last.y, last.z, last.nx, last.ny, last.nz}));
    EXPECT_EQ((std::vector<float>{4, 6, 127.5f}),
              (std::vector<float>{flat.getLengthX(), flat.getLengthY(), flat.getMaxHeight()}));

    // Green above 25 places a decoration, counted from the last row up.
    const Heightmap& terrain = loadOver(3, 2, [](int i, int j) {
        const int greens[2][3] = {{26, 25, 200}, {0, 30, 0}};
        return redGreen(i == 2 ? 4 : 0, greens[j][i]);
    }, "2 3 0.5");
    const std::vector<Point3D>& at = terrain.getObjectPositions();
    ASSERT_EQ(3u, at.size());
    expectPoint(2, 3, 0, at[0]);
    expectPoint(0, 0, 0, at[1]);
    expectPoint(4, 0, 2, at[2]);
    EXPECT_EQ((std::vector<float>{30 * 0.5f * 0.01f, 26 * 0.5f * 0.01f, 200 * 0.5f * 0.01f}),
              terrain.getObjectScales()); // green * heightScale * meshScale

    // The strips and decorations around the view are drawn.
    const std::multiset<int> decorated = {0, 1, 134, 135, 430, 431, 569, 570};
    const Heightmap& wide =
        loadOver(1000, 2, [&](int i, int j) { return redGreen(0, j == 0 && decorated.count(i) ? 100 : 0); });
    ASSERT_EQ(70, wide.getViewRange());
    // Not the decoration at 0: the window starts there.
    EXPECT_EQ((Submitted{strips(0, 135), {1, 134}}), submitted([&] { wide.draw(Point3D(-65, -33, -77)); }));
    EXPECT_EQ((Submitted{strips(430, 570), {431, 569}}), submitted([&] { wide.draw(Point3D(-500, -33, -77)); }));
    EXPECT_EQ((Submitted{strips(0, 999), decorated}), submitted([&] { wide.drawAll(); }));
}

TEST_F(TerrainTest, HeightAtFollowsTheCornerPlaneCopesWithOnePixelImagesOnlyUsableScalesDrawAndBothPathsTexture)
{
    // Column 2 and row 2 are 99: the far edges answer from the points before them.
    const auto plane = [](int i, int j) { return redGreen(i < 2 && j < 2 ? 10 * i + 20 * j : 99, 0); };
    const Heightmap& terrain = loadOver(3, 3, plane, "2 4 1");
    // Inside, on a grid point, on the last column, past and before each edge, and at no number.
    for (const auto& [x, y, height] : {std::array{1.0f, 1.0f, 10.0f}, {2, 4, 30}, {4, 0, 10}, {100, 2, 20}, {-5, 2, 10},
                                       {1, 8, 25}, {1, -3, 5}, {50, 50, 30}, {NAN, NAN, 0}})
        EXPECT_EQ(height, terrain.heightAt(x, y)) << x << ", " << y;

    // A 1-pixel-wide or -high image has no neighbouring column or row to read.
    const Heightmap& column = loadOver(1, 3, [](int, int j) { return redGreen(10 * j, 0); });
    const Heightmap& row = loadOver(3, 1, [](int i, int) { return redGreen(10 * i, 0); });
    const Heightmap& point = loadOver(1, 1, [](int, int) { return redGreen(42, 0); });
    for (const auto& [terrain, x, y, height] : {std::tuple{&column, 0.0f, 0.5f, 5.0f}, {&column, 3, 1.5f, 15},
                                                {&column, -1, 7, 10}, {&row, 0.5f, 0, 5}, {&row, 9, 9, 10}, {&point, 5, 5, 42}})
        EXPECT_EQ(height, terrain->heightAt(x, y)) << x << ", " << y;
    EXPECT_TRUE(submitted([&] {
        column.drawAll();
        row.drawAll();
    }).first.empty());

    // 16-bit indices reach 65536 points: the two strips of 3 x 22000 points
    // go in two draws, each counted from its own first column; strips of
    // 32769 rows cannot be drawn at all.
    const Heightmap& tall = loadOver(3, 22000, [](int, int) { return redGreen(0, 0); }, "1 0.00005 1");
    const std::multiset<int> tallStrips = submitted([&] { tall.drawAll(); }, 4 << 20).first;
    EXPECT_TRUE(tallStrips.size() == 4 * 21999 && tallStrips.count(0) == 2 * 21999 && tallStrips.count(1) == 2 * 21999)
        << tallStrips.size() << ' ' << tallStrips.count(0);
    const Heightmap& tooTall = loadOver(2, 32769, [](int, int) { return redGreen(0, 0); }, "1 0.00005 1");
    EXPECT_EQ(std::string(Heightmap::tooTallNotice) + "\n", output);
    EXPECT_TRUE(submitted([&] { tooTall.drawAll(); }).first.empty());

    // A scale of 0 along x or y, or one that is not finite, leaves no usable
    // ground; a height scale of 0 is flat ground and draws; a negative scale
    // must not carry the window past the last strip.
    const auto ramp = [](int i, int) { return redGreen(8 * i, 0); };
    // Ground triangles drawn around x 65 and by drawAll.
    for (const auto& [scales, around, all] : {std::tuple{"0 1 1", 0u, 0u}, {"1 0 1", 0u, 0u}, {"1e999 1 1", 0u, 0u},
                                              {"1 1 1e999", 0u, 0u}, {"1 1 0", 18u, 18u}, {"-1 1 1", 18u, 18u}}) {
        const Heightmap& terrain = loadOver(10, 2, ramp, scales);
        EXPECT_EQ(around, submitted([&] { terrain.draw(Point3D(-65, 0, 0)); }).first.size()) << scales;
        EXPECT_EQ(all, submitted([&] { terrain.drawAll(); }).first.size()) << scales;
    }

    const Heightmap& zero = loadOver(10, 2, [](int i, int j) { return redGreen(8 * i, i == 1 && j == 0 ? 100 : 0); },
                                     "0 1 1");
    EXPECT_EQ((Submitted{{}, {0}}), submitted([&] { zero.drawAll(); }));
    EXPECT_EQ(64.0f, zero.heightAt(3, 0)); // x / 0 is beyond the far edge: column 8
    EXPECT_EQ(0.0f, zero.heightAt(0, 0));  // 0 / 0 is no number: column 0


    // The program multiplies all four textures; without it only texture 1 shows,
    // with its own coordinates on unit 0. Either way the same state is left.
    const Heightmap& textured = loadOver(4, 2, [](int i, int) { return redGreen(0, i == 1 ? 100 : 0); });
    const bool program = GLEW_ARB_multitexture && GLEW_ARB_shader_objects;
    EXPECT_EQ(program, textured.getShader() != nullptr);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 3.0, 0.0, 1.0, -1.0, 1.0); // the ground fills the window; the decoration is above it
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(1, 1, 1, 1);
    float largestS = 0;
    for (const FeedbackPrimitive& primitive : captureFeedback([&] { textured.drawAll(); }))
        for (const FeedbackVertex& vertex : primitive.vertices)
            largestS = std::max(largestS, vertex.s);
    EXPECT_FLOAT_EQ(program ? 0.75f : 1.5f, largestS);

    for (const bool all : {false, true}) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        all ? textured.drawAll() : textured.draw(Point3D(-2, 0, 0));
        const Rgba got = pixelAt(320, 240), want = program ? Rgba{128, 128, 128, 255} : Rgba{255, 128, 255, 255};
        EXPECT_LE(std::abs(want.r - got.r) + std::abs(want.g - got.g) + std::abs(want.b - got.b), 4)
            << int(got.r) << ' ' << int(got.g) << ' ' << int(got.b);
        // Texturing stays on though the untextured decoration switched it off.
        EXPECT_TRUE(!glIsEnabled(GL_BLEND) && glIsEnabled(GL_TEXTURE_2D) && !glIsEnabled(GL_VERTEX_ARRAY) &&
                    !glIsEnabled(GL_NORMAL_ARRAY) && !glIsEnabled(GL_TEXTURE_COORD_ARRAY));
        EXPECT_EQ(textured.getTexture(program ? 0 : 1)->getId(),
                  static_cast<GLuint>(glInteger(GL_TEXTURE_BINDING_2D)));
        if (program) {
            EXPECT_EQ(0u, glGetHandleARB(GL_PROGRAM_OBJECT_ARB));
            EXPECT_TRUE(glInteger(GL_ACTIVE_TEXTURE_ARB) == GL_TEXTURE0_ARB &&
                        glInteger(GL_CLIENT_ACTIVE_TEXTURE_ARB) == GL_TEXTURE0_ARB);
            for (int unit = 1; unit < 4; ++unit) {
                glActiveTextureARB(GL_TEXTURE0_ARB + unit);
                glClientActiveTextureARB(GL_TEXTURE0_ARB + unit);
                EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D) || glIsEnabled(GL_TEXTURE_COORD_ARRAY)) << unit;
            }
            glActiveTextureARB(GL_TEXTURE0_ARB);
            glClientActiveTextureARB(GL_TEXTURE0_ARB);
        }
        EXPECT_EQ(static_cast<GLenum>(GL_NO_ERROR), glGetError());
    }
    Renderer::getInstance().setPerspective();
}

} // namespace
