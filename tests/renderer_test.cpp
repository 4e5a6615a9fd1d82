#include "renderer.h"

#include "config.h"
#include "engineenvironment.h"
#include "glcapture.h"
#include "tempdir.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

void expectMatrixNear(const std::array<float, 16>& expected, const std::array<float, 16>& actual)
{
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(expected[i], actual[i], 1e-5f) << "element " << i;
}

const std::array<float, 16> identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

std::array<float, 16> perspective(float aspect)
{
    const float f = 1.0f / std::tan(22.5f * static_cast<float>(M_PI) / 180.0f);
    const float nearPlane = 1.0f, farPlane = 1024.0f;
    return {f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, (farPlane + nearPlane) / (nearPlane - farPlane), -1,
            0, 0, 2 * farPlane * nearPlane / (nearPlane - farPlane), 0};
}

GLint currentMatrixMode()
{
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    return mode;
}

void fillRendererArea(const Renderer& renderer)
{
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glColor3ub(255, 0, 0);
    glBegin(GL_QUADS);
    glVertex2f(0, 0);
    glVertex2f(renderer.getWidth(), 0);
    glVertex2f(renderer.getWidth(), renderer.getHeight());
    glVertex2f(0, renderer.getHeight());
    glEnd();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
}

// Restarts the renderer with other renderer sizes, and with the test
// program's own configuration afterwards.
class RendererSizeTest : public ::testing::Test {
protected:
    void restartWith(int width, int height)
    {
        dir.writeFile("resources/config.cfg", configText({{"renderer_width", width}, {"renderer_height", height}}));
        Config::load("resources/config.cfg");
        Renderer::getInstance().start();
    }
    void TearDown() override { restartWith(640, 480); }

    ScopedWorkDir dir;
};

TEST(Renderer, StartSetsTheFixedState)
{
    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(0.5f, clear[0]);
    EXPECT_FLOAT_EQ(0.5f, clear[1]);
    EXPECT_FLOAT_EQ(0.8f, clear[2]);
    EXPECT_FLOAT_EQ(1.0f, clear[3]);

    GLint value = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(GL_LEQUAL, value);
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(GL_SRC_ALPHA, value);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(GL_ONE_MINUS_SRC_ALPHA, value);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(GL_SMOOTH, value);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST(Renderer, ProjectionSwitchesLeaveAnIdentityModelView)
{
    Renderer& renderer = Renderer::getInstance();
    EXPECT_FLOAT_EQ(640.0f, renderer.getWidth());
    EXPECT_FLOAT_EQ(480.0f, renderer.getHeight());

    glMatrixMode(GL_MODELVIEW);
    glTranslatef(3, 4, 5);
    renderer.setOrtho();
    renderer.setOrtho(); // twice is the same as once
    EXPECT_EQ(GL_MODELVIEW, currentMatrixMode());
    expectMatrixNear(identity, currentMatrix(GL_MODELVIEW));
    // glOrtho(0, 640, 0, 480, 0, 1)
    expectMatrixNear({2.0f / 640, 0, 0, 0, 0, 2.0f / 480, 0, 0, 0, 0, -2, 0, -1, -1, -1, 1},
                     currentMatrix(GL_PROJECTION));

    glTranslatef(1, 1, 1);
    renderer.setPerspective();
    EXPECT_EQ(GL_MODELVIEW, currentMatrixMode());
    expectMatrixNear(identity, currentMatrix(GL_MODELVIEW));
    expectMatrixNear(perspective(640.0f / 480.0f), currentMatrix(GL_PROJECTION));
}

TEST(Renderer, UpdateClearsColourAndDepthAndResetsTheMatrix)
{
    Renderer& renderer = Renderer::getInstance();
    renderer.setOrtho();
    fillRendererArea(renderer);
    ASSERT_EQ((Rgba{255, 0, 0, 255}), pixelAt(10, 10));

    glTranslatef(7, 0, 0);
    renderer.update();
    EXPECT_EQ((Rgba{128, 128, 204, 255}), pixelAt(10, 10));
    expectMatrixNear(identity, currentMatrix(GL_MODELVIEW));
    GLfloat depth = 0;
    glReadPixels(10, 10, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_FLOAT_EQ(1.0f, depth);
}

TEST_F(RendererSizeTest, ViewportAndAspectFollowTheRendererSize)
{
    restartWith(800, 600);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(0, viewport[0]);
    EXPECT_EQ(0, viewport[1]);
    EXPECT_EQ(800, viewport[2]);
    EXPECT_EQ(600, viewport[3]);
    expectMatrixNear(perspective(800.0f / 600.0f), currentMatrix(GL_PROJECTION));
}

TEST_F(RendererSizeTest, ASmallerRendererDrawsOnlyTheLowerLeftRectangleButClearsTheWindow)
{
    restartWith(320, 240);
    Renderer& renderer = Renderer::getInstance();
    renderer.setOrtho();
    fillRendererArea(renderer);
    const Rgba red{255, 0, 0, 255}, clearColour{128, 128, 204, 255};
    EXPECT_EQ(red, pixelAt(0, 0));
    EXPECT_EQ(red, pixelAt(319, 239));
    EXPECT_NE(red, pixelAt(320, 100));
    EXPECT_NE(red, pixelAt(100, 240));

    renderer.update();
    for (const Rgba& pixel : readPixels(0, 0, 640, 480))
        ASSERT_EQ(clearColour, pixel);
}

TEST(Renderer, FeedbackSeesOrthoCoordinatesAsWindowPixels)
{
    Renderer& renderer = Renderer::getInstance();
    renderer.setOrtho();
    const auto primitives = captureFeedback([] {
        glBegin(GL_TRIANGLES);
        glTexCoord2f(0.25f, 0.75f);
        glVertex2f(10, 20);
        glVertex2f(110, 20);
        glVertex2f(10, 220);
        glEnd();
    });
    ASSERT_EQ(1u, primitives.size());
    ASSERT_EQ(3u, primitives[0].vertices.size());
    EXPECT_FLOAT_EQ(10.0f, primitives[0].vertices[0].x);
    EXPECT_FLOAT_EQ(20.0f, primitives[0].vertices[0].y);
    EXPECT_FLOAT_EQ(0.25f, primitives[0].vertices[0].s);
    EXPECT_FLOAT_EQ(0.75f, primitives[0].vertices[0].t);
    EXPECT_FLOAT_EQ(220.0f, primitives[0].vertices[2].y);
    renderer.setPerspective();
}

} // namespace
