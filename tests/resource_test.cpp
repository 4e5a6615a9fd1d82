// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The resources drawn from files, on the real engine: pictures uploaded as
// textures in every layout with their fallbacks, meshes read from ZMS text
// and drawn lit, the terrain's GLSL programs on drivers with and without
// them, and the font writer's strings at any renderer scale.

#include <GL/glew.h>

#include "engine/renderer.h"
#include "resources/fontwriter.h"
#include "resources/hlslshader.h"
#include "resources/image.h"
#include "resources/meshzms.h"
#include "resources/resourcemanager.h"
#include "resources/shader.h"
#include "resources/texture2d.h"

#include "engineenvironment.h"
#include "glcapture.h"
#include "menufixture.h"
#include "tempdir.h"
#include "testpicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// The fixtures' 3 x 2 grid of cells (a pixel each, 8 x 8 in the JPEG), top row first
// (tools/make_test_fixtures.py).
const Rgba cells[6] = {{255, 0, 0, 255},     {0, 255, 0, 255}, {0, 0, 255, 255},
                       {255, 255, 255, 255}, {0, 0, 0, 255},   {255, 255, 0, 255}};
const std::string cannotLoad = "src/image: Cannot load Resource ";
const std::string fallback = "\nLoading standardfile instead...\n";

// The same grid as a BMP: 8 bits a pixel (palettised) or 24 (B,G,R bytes).
void writeBmp(const char* file, int depth)
{
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 3, 2, depth, 0, 0, 0, 0);
    for (int i = 0; i < 6; ++i) {
        SDL_Color colour{cells[i].r, cells[i].g, cells[i].b, 0};
        SDL_SetColors(surface, &colour, i, 1); // without a palette this does nothing
        SDL_Rect cell{static_cast<Sint16>(i % 3), static_cast<Sint16>(i / 3), 1, 1};
        SDL_FillRect(surface, &cell, SDL_MapRGB(surface->format, colour.r, colour.g, colour.b));
    }
    SDL_SaveBMP(surface, file);
    SDL_FreeSurface(surface);
}

// Reads the texture back from GL and compares each cell's middle texel with
// its colour (top row first, as uploaded); with alpha the black cell is transparent.
void expectTexels(const Texture2D& texture, int tolerance = 0, bool blackIsTransparent = false)
{
    int width = 0, height = 0;
    const std::vector<Rgba> texels = textureTexels(texture.getId(), &width, &height);
    ASSERT_TRUE(width > 0 && height > 0);
    for (int i = 0; i < 6; ++i) {
        const Rgba want = blackIsTransparent && i == 4 ? Rgba{0, 0, 0, 0} : cells[i];
        const int row = i / 3 * height / 2 + height / 4, column = i % 3 * width / 3 + width / 6;
        const Rgba got = texels[static_cast<std::size_t>(row * width + column)];
        EXPECT_LE(std::max({std::abs(want.r - got.r), std::abs(want.g - got.g), std::abs(want.b - got.b),
                            std::abs(want.a - got.a)}),
                  tolerance)
            << "cell " << i << ": " << +got.r << "," << +got.g << "," << +got.b << "," << +got.a;
    }
}

class ImageTest : public ::testing::Test {
protected:
    ImageTest()
    {
        for (const char* file : {"rgb.png", "rgba.png", "palette.png", "photo.jpg"})
            fs::copy_file(fs::path(KERBOLT_FIXTURES) / file, file);
        dir.writeFile(Image::defaultFile, readWholeFile("rgb.png"));
    }
    void TearDown() override { EXPECT_EQ(0u, manager.getResourceCount()) << "a hold was left"; }

    ScopedWorkDir dir;
    ResourceManager& manager = ResourceManager::getInstance();
};

TEST_F(ImageTest, EveryLayoutUploadsInItsOwnColoursBadPicturesFallBackAndWithoutAnyPictureATextureHasNoId)
{
    writeBmp("bgr24.bmp", 24);
    writeBmp("indexed8.bmp", 8);
    // Format 0: GL cannot take the surface as it is.
    struct Case {
        const char* file;
        GLenum format, internalFormat;
        int tolerance;
    };
    for (const auto& [file, format, internalFormat, tolerance] :
         {Case{"bgr24.bmp", GL_BGR, GL_RGB, 0}, Case{"indexed8.bmp", 0, GL_RGB, 0}, Case{"rgb.png", GL_RGB, GL_RGB, 0},
          Case{"rgba.png", GL_RGBA, GL_RGBA, 0}, Case{"palette.png", 0, GL_RGBA, 0},
          Case{"photo.jpg", GL_RGB, GL_RGB, 12}}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(format, Held<Image>(file)->getFormat());
        EXPECT_EQ(internalFormat, Held<Image>(file)->getInternalFormat());

        glPixelStorei(GL_UNPACK_ALIGNMENT, 8); // the caller's unpack state neither matters nor changes
        const Held<Texture2D> texture(file);
        EXPECT_EQ(8, glInteger(GL_UNPACK_ALIGNMENT));
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        EXPECT_EQ(GLenum{GL_NO_ERROR}, glGetError());
        EXPECT_EQ(file, texture->getName());
        expectTexels(*texture, tolerance, internalFormat == GL_RGBA);
    }

    // Unreadable pictures fall back and leave no file open.
    dir.writeFile("anim.gif", "GIF89a\x01\x00\x01\x00\x00\x00\x00;");
    dir.writeFile("cut.png", readWholeFile("rgba.png").substr(0, 45));
    auto openFiles = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
    const auto filesBefore = openFiles();
    for (const auto& [file, reason] : {std::pair{"gone.png", ". Cannot find that file."},
                                       std::pair{"anim.gif", ". Unknown type."},
                                       std::pair{"cut.png", ". Cannot decode that file."}}) {
        Held<Image> image;
        EXPECT_EQ(cannotLoad + file + reason + fallback, capturedStdout([&] { image = Held<Image>(file); }));
        EXPECT_EQ(Image::defaultFile, image->getName());
        EXPECT_TRUE(image->getSurface() && image->getWidth() == 3);
    }
    EXPECT_EQ(filesBefore, openFiles());

    // The texture of a missing file shows the default picture under its name; only the image speaks.
    Held<Texture2D> fallen;
    EXPECT_EQ(cannotLoad + "gone.png. Cannot find that file." + fallback,
              capturedStdout([&] { fallen = Held<Texture2D>("gone.png"); }));
    EXPECT_EQ(Image::defaultFile, fallen->getName());
    expectTexels(*fallen);
    fallen.reset();

    // A texture uses an image already held; without any picture it has no id.
    Held<Image> image("rgb.png");
    SDL_Surface* surface = image->getSurface();
    fs::remove("rgb.png"); // a second decode would fall back to the default picture
    Held<Texture2D> texture("rgb.png");
    EXPECT_EQ("rgb.png", texture->getName());
    EXPECT_TRUE(image->getRefCount() == 1 && image->getSurface() == surface);
    expectTexels(*texture);
    image.reset();

    fs::remove(Image::defaultFile);
    Held<Texture2D> empty;
    EXPECT_EQ(cannotLoad + "gone.png. Cannot find that file." + fallback + cannotLoad + Image::defaultFile +
                  ". Cannot find that file." + fallback,
              capturedStdout([&] { empty = Held<Texture2D>("gone.png"); }));
    EXPECT_EQ(0u, empty->getId());
    EXPECT_EQ("gone.png", empty->getName());
    empty.reset();
    EXPECT_TRUE(glIsTexture(texture->getId())) << "releasing no texture deleted another";
    texture.reset();
    ASSERT_EQ(1u, manager.getResourceCount()); // the image whose default failed keeps its hold
    manager.releaseResource(&manager.getResourceAt(0));
}

// One flat, untextured quad: recognisable as the fallback.
const char* const defaultMesh = "0 4 1 0  0 0 1 0 0 0  0 0 1 1 0 0  0 0 1 1 1 0  0 0 1 0 1 0  0 0 0 1 4 0 1 2 3\n";

// The texture's name (or "-"), the vertices as "x,y,z/nx,ny,nz", then per
// face "|s" (smooth) or "|f" (flat), the normal, the corner indices and the
// texture coordinates.
std::string summary(const MeshZMS& mesh)
{
    std::ostringstream out;
    out << (mesh.getTexture() ? mesh.getTexture()->getName() : "-") << ' ';
    for (const Vertex& v : mesh.getVertices())
        out << v.x << ',' << v.y << ',' << v.z << '/' << v.nx << ',' << v.ny << ',' << v.nz << ' ';
    for (const Face& f : mesh.getFaces()) {
        out << '|' << (f.smooth ? 's' : 'f') << f.normal.x << ',' << f.normal.y << ',' << f.normal.z;
        for (int32_t index : f.indices)
            out << ' ' << index;
        for (const Point2D& uv : f.texCoords)
            out << ' ' << uv.x << ',' << uv.y;
    }
    return out.str();
}

// Draws in window pixels with light 0 shining along -z (white diffuse, no
// ambient of its own) on the default material: a corner lit head-on gets
// 0.04 + 0.8, one lit edge-on 0.04. Answers what feedback saw, or, with
// onScreen, draws into the cleared window and answers nothing.
std::vector<FeedbackPrimitive> drawLit(const MeshZMS& mesh, bool onScreen = false)
{
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    Renderer::getInstance().setOrtho();
    const GLfloat direction[] = {0, 0, 1, 0}, white[] = {1, 1, 1, 1}, black[] = {0, 0, 0, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, black);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    std::vector<FeedbackPrimitive> primitives;
    if (onScreen)
        mesh.draw();
    else
        primitives = captureFeedback([&] { mesh.draw(); });
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING) || glIsEnabled(GL_LIGHT0));
    // What immediate mode drawn next relies on.
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY) || glIsEnabled(GL_NORMAL_ARRAY) || glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_EQ(0, glInteger(GL_ARRAY_BUFFER_BINDING));
    EXPECT_EQ(mesh.getTextured() != 0, glIsEnabled(GL_TEXTURE_2D) == GL_TRUE);
    EXPECT_EQ(mesh.getTexture() != nullptr ? mesh.getTexture()->getId() : 0u,
              static_cast<GLuint>(glInteger(GL_TEXTURE_BINDING_2D)));
    Renderer::getInstance().setPerspective();
    glPopAttrib();
    EXPECT_EQ(static_cast<GLenum>(GL_NO_ERROR), glGetError());
    return primitives;
}

// "x,y r s,t" of a feedback vertex, the colour to two decimals.
std::string corner(const FeedbackVertex& v)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.0f,%.0f %.2f %g,%g", v.x, v.y, v.r, v.s, v.t);
    return text;
}

class MeshZMSTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.writeFile("resources/meshes/defaultmesh.zms", defaultMesh);
        // A 2 x 2 picture for the textured meshes.
        TestPicture(2, 2, Rgba{0, 0, 0, 255}).save("pic.bmp");
        resourcesBefore = manager().getResourceCount();
    }
    void TearDown() override
    {
        held.clear();
        EXPECT_EQ(resourcesBefore, manager().getResourceCount()); // the textures went with their meshes
    }

    static ResourceManager& manager() { return ResourceManager::getInstance(); }

    // Loads the text as `file`; loading must print `expectedOutput`.
    const MeshZMS& load(const std::string& text, const std::string& file = "m.zms",
                        const std::string& expectedOutput = "")
    {
        dir.writeFile(file, text);
        EXPECT_EQ(expectedOutput, capturedStdout([&] { held.emplace_back(file); }));
        return *held.back();
    }

    ScopedWorkDir dir;
    std::size_t resourcesBefore = 0;
    std::vector<Held<MeshZMS>> held;
};

TEST_F(MeshZMSTest, ReadsTheRecordsWhereverTheLinesBreakRefusesWhatItCannotReadAndLightsSmoothAndFlatFaces)
{
    const std::string untextured = "- 5,6,7/0,0,1 8,9,10/1,0,0 -1,-2,-30/0,1,0 |s0,0,1 0 1 2";
    const std::pair<std::string, std::string> cases[] = {
        // Normal first, then position; anything after the last face is ignored.
        {"0 3 1 0\n0 0 1 5 6 7\n1 0 0 8 9 10\n0 1 0 -1 -2 -3e1\n1 0 0 1 3 0 1 2\nnotes\n", untextured},
        // The texture's name, the five parameters, then u and v after each corner's index.
        {"1 4 1 1 pic.bmp\n9 9 9 9 9\n0 0 1 0 0 0\n0 0 1 1 0 0\n0 0 1 1 1 0\n0 0 1 0 1 0\n"
         "0 0 0 1 4 0 0 0 1 0.5 0 2 1 0.25 3 0 1\n",
         "pic.bmp 0,0,0/0,0,1 1,0,0/0,0,1 1,1,0/0,0,1 0,1,0/0,0,1 |f0,0,1 0 1 2 3 0,0 0.5,0 1,0.25 0,1"},
        {"0 2 2 0 0 0 1 1 2 3 7 8\n", "- 1,2,3/0,0,1 nan,nan,nan/7,8,nan |fnan,nan,nan|fnan,nan,nan"},
        // An unfinished face keeps its complete corners only: the third lacks its v.
        {"0 1 2 1 pic.bmp 0 0 1 1 2 3  1 0 0 1 3 0 0 0 0 1 0 0 1\n",
         "pic.bmp 1,2,3/0,0,1 |s0,0,1 0 0 0,0 1,0|fnan,nan,nan"},
        {"0 1", "- nan,nan,nan/nan,nan,nan "},
        // Faces of any corner count stay, u and v included; the rest of the mesh with them.
        {"0 3 4 0 0 0 1 5 6 7 1 0 0 8 9 10 0 1 0 -1 -2 -3e1 0 0 0 1 5 0 1 2 0 1 1 0 0 1 3 0 1 2 0 0 0 1 0"
         " 0 0 0 1 2 0 1",
         "- 5,6,7/0,0,1 8,9,10/1,0,0 -1,-2,-30/0,1,0 |f0,0,1 0 1 2 0 1|s0,0,1 0 1 2|f0,0,1|f0,0,1 0 1"},
        // A count beyond the file reads corners up to its end.
        {"0 1 2 1 pic.bmp 0 0 1 1 2 3 0 0 0 1 5 0 1 2 0 3 4 0 5 6 0 7 8 0 9 1 1 0 0 1 1000000 0 5 6 0",
         "pic.bmp 1,2,3/0,0,1 |f0,0,1 0 0 0 0 0 1,2 3,4 5,6 7,8 9,1|s0,0,1 0 5,6"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].second, summary(load(cases[i].first, std::to_string(i) + ".zms"))) << cases[i].first;
    EXPECT_NE(0u, held[1]->getTexture()->getId());
    drawLit(*held[0]); // checks that an untextured mesh leaves texturing off

    // Malformed files fall back to the default mesh.
    const std::string vertex = " 0 0 1 0 0 0 ";
    const std::pair<std::string, std::string> malformed[] = {
        {"0 -1 0 0", "Negative vertex count -1"},
        {"0 0 -2 0", "Negative face count -2"},
        {"0 2000000000 0 0\n", "2000000000 vertices and 0 faces cannot fit in a file of 17 bytes"},
        {"0 1 1 0" + vertex + "0 0 0 1 3 0 0 1", "Face 0 uses vertex 1 of 1"},
        {"0 1 1 1 pic.bmp" + vertex + "0 0 0 1 3 0 0 0 -1 0 0 0 0 0", "Face 0 uses vertex -1 of 1"},
        {"0 1 1 0" + vertex + "0 0 0 1 -1 0", "Negative corner count -1 in face 0"},
        {"zero 0 0 0", "Expected a number in the header, found 'zero'"},
        {"0 1 0 0 0 0 nan 0 0 0", "Expected a number in vertex 0, found 'nan'"},
        {"0 1 1 1 pic.bmp" + vertex + "0 0 0 1 3 0 u v", "Expected a number in face 0, found 'u'"},
    };
    const std::string defaultSummary = summary(load(defaultMesh, "default.zms"));
    for (const auto& [text, problem] : malformed) {
        SCOPED_TRACE(text);
        const MeshZMS& mesh =
            load(text, "bad.zms",
                 "src/meshzms: Cannot load Resource bad.zms. " + problem + ".\nLoading standardfile instead...\n");
        EXPECT_EQ(MeshZMS::defaultFile, mesh.getName());
        EXPECT_EQ(defaultSummary, summary(mesh)); // untextured: the rejected file's texture was given back
    }

    // Vertex 1's own normal points sideways, edge-on to the light.
    const auto primitives = drawLit(load("0 4 2 1 pic.bmp  0 0 1 100 100 0  1 0 0 200 100 0  0 0 1 200 200 0"
                                         "  0 0 1 100 200 0  1 0 0 1 3 0 0 0 1 0.5 0 2 1 1"
                                         "  0 0 0 1 4 0 0 0 1 1 0 2 1 1 3 0 1\n"));
    ASSERT_GE(primitives.size(), 2u);
    std::vector<std::string> triangle;
    for (const FeedbackVertex& v : primitives[0].vertices)
        triangle.push_back(corner(v));
    EXPECT_EQ((std::vector<std::string>{"100,100 0.84 0,0", "200,100 0.04 0.5,0", "200,200 0.84 1,1"}), triangle);
    // The quad arrives as one polygon or as two triangles.
    std::set<std::string> quad;
    for (std::size_t p = 1; p < primitives.size(); ++p)
        for (const FeedbackVertex& v : primitives[p].vertices)
            quad.insert(corner(v));
    EXPECT_EQ((std::set<std::string>{"100,100 0.84 0,0", "200,100 0.84 1,0", "200,200 0.84 1,1", "100,200 0.84 0,1"}),
              quad);
    // A smooth quad whose second corner is dark: split along the diagonal
    // from its first corner to its third, as GL_QUADS is, the middle is as
    // bright as those two (along the other diagonal it would be half dark).
    drawLit(load("0 4 1 0  0 0 1 100 100 0  1 0 0 200 100 0  0 0 1 200 200 0  0 0 1 100 200 0"
                 "  1 0 0 1 4 0 1 2 3\n", "dark.zms"),
            true);
    EXPECT_NEAR(214, pixelAt(150, 150).r, 3);

    // A face of 2 corners draws nothing, one of 5 its first four as a quad.
    std::set<std::pair<long, long>> odd; // whole pixels: drivers differ in the last float bits
    for (const FeedbackPrimitive& primitive : drawLit(load("0 5 2 0  0 0 1 100 100 0  0 0 1 200 100 0  0 0 1 200 200 0"
                                                           "  0 0 1 100 200 0  0 0 1 150 300 0"
                                                           "  0 0 0 1 2 4 0  0 0 0 1 5 0 1 2 3 4\n", "odd.zms")))
        for (const FeedbackVertex& v : primitive.vertices)
            odd.emplace(std::lround(v.x), std::lround(v.y));
    EXPECT_EQ((std::set<std::pair<long, long>>{{100, 100}, {200, 100}, {200, 200}, {100, 200}}), odd);
}

const std::string prefix = "src/hlslshader: HLSLShader error: ";

// A program is bound and unbound; failures throw their fixed messages. (Its
// samplers reach their units: the terrain's four-texture picture.)
TEST(HLSLShader, AProgramIsBoundAndUnboundAndFailuresThrowTheirFixedMessages)
{
    if (!GLEW_ARB_shader_objects)
        GTEST_SKIP() << "no GL_ARB_shader_objects";
    while (glGetError() != GL_NO_ERROR) {} // count only this test's errors
    ScopedWorkDir dir;
    dir.writeFile("v.fx", "void main() { gl_Position = ftransform(); gl_TexCoord[0] = gl_MultiTexCoord0; }\n");
    dir.writeFile("f.fx", "uniform sampler2D tex0;\nuniform sampler2D tex2;\nvoid main() {\n"
                          "gl_FragColor = texture2D(tex0, gl_TexCoord[0].st) * texture2D(tex2, gl_TexCoord[0].st); }");
    dir.writeFile("broken.fx", "void main() { gl_Position = ; }\n");
    dir.writeFile("unresolved.fx", "vec4 nowhere();\nvoid main() { gl_Position = nowhere(); }\n");
    HLSLShader shader;
    shader.loadShaders("v.fx", "f.fx");
    const GLhandleARB program = shader.getProgram();
    ASSERT_NE(0u, program);
    EXPECT_EQ(0u, glGetHandleARB(GL_PROGRAM_OBJECT_ARB));
    shader.bind();
    EXPECT_EQ(program, glGetHandleARB(GL_PROGRAM_OBJECT_ARB));
    shader.unload();
    EXPECT_EQ(0u, glGetHandleARB(GL_PROGRAM_OBJECT_ARB));
    EXPECT_FALSE(glIsProgram(program));
    EXPECT_EQ(static_cast<GLenum>(GL_NO_ERROR), glGetError());

    // Failures throw their fixed messages.
    const std::pair<std::pair<const char*, const char*>, std::string> cases[] = {
        // The missing fragment file is never read: the vertex stage fails first.
        {{"broken.fx", "missing.fx"}, prefix + "There is an error in the 'Vertex' Shader Source."},
        {{"v.fx", "broken.fx"}, prefix + "There is an error in the 'Fragment' Shader Source."},
        {{"unresolved.fx", "f.fx"}, prefix + "It was not possible to Link the Shader Program."},
        {{"v.fx", "missing.fx"}, "Cannot open or create file 'missing.fx'"},
        {{"v.fx", "f.fx"}, ""},
    };
    for (const auto& [files, message] : cases) {
        HLSLShader failing;
        std::string thrown;
        capturedStdout([&] { thrown = thrownMessage([&] { failing.loadShaders(files.first, files.second); }); });
        EXPECT_EQ(message, thrown); // the driver's log, if any, is left out
        EXPECT_NE(0u, failing.getProgram());
        failing.unload();
    }
}

// Run by a separate CTest entry with Mesa hiding these extensions.
TEST(WithoutShaderExtensions, NothingIsCalledThatTheDriverLacks)
{
    if (GLEW_ARB_shader_objects || GLEW_ARB_vertex_program || GLEW_ARB_fragment_program)
        GTEST_SKIP() << "the extensions are present";
    HLSLShader shader;
    EXPECT_EQ(prefix + "cannot create Vertex Shader.", thrownMessage([&] { shader.loadShaders("v.fx", "f.fx"); }));
    EXPECT_EQ(prefix + "cannot create Fragment Shader.", thrownMessage([&] { shader.loadShaders("", "f.fx"); }));
    shader.bind();
    shader.unload();
    Shader programs;
    EXPECT_EQ("src/shader: GL_ARB_vertex_program is not available\n"
              "src/shader: GL_ARB_fragment_program is not available\n",
              capturedStdout([&] { programs.init(); }));
}

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
