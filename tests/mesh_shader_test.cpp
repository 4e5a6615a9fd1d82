// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Meshes read from ZMS text and drawn lit, and the GLSL programs of the
// terrain with the ARB program check, on drivers with and without them.

#include <GL/glew.h>

#include "engine/renderer.h"
#include "resources/hlslshader.h"
#include "resources/meshzms.h"
#include "resources/resourcemanager.h"
#include "resources/shader.h"
#include "resources/texture2d.h"

#include "glcapture.h"
#include "tempdir.h"
#include "testpicture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <set>
#include <sstream>

namespace {

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
    const std::string fallback = summary(load(defaultMesh, "default.zms"));
    for (const auto& [text, problem] : malformed) {
        SCOPED_TRACE(text);
        const MeshZMS& mesh =
            load(text, "bad.zms",
                 "src/meshzms: Cannot load Resource bad.zms. " + problem + ".\nLoading standardfile instead...\n");
        EXPECT_EQ(MeshZMS::defaultFile, mesh.getName());
        EXPECT_EQ(fallback, summary(mesh)); // untextured: the rejected file's texture was given back
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

} // namespace
