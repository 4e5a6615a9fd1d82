// The engine's own tasks as the test program started them: renderer, input and audio.

#include "audio.h"
#include "input.h"
#include "renderer.h"
#include "window.h"

#include "engineenvironment.h"
#include "glcapture.h"
#include "tempdir.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

void expectModelViewReset()
{
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(GL_MODELVIEW, mode);
    EXPECT_EQ((std::array<float, 16>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}), currentMatrix(GL_MODELVIEW));
}

// Window positions of the points that survive clipping under the current matrices.
std::vector<FeedbackVertex> drawnPoints(const std::vector<std::array<float, 3>>& points)
{
    std::vector<FeedbackVertex> drawn;
    for (const FeedbackPrimitive& point : captureFeedback([&] {
             glBegin(GL_POINTS);
             for (const auto& [x, y, z] : points)
                 glVertex3f(x, y, z);
             glEnd();
         }))
        drawn.push_back(point.vertices.at(0));
    return drawn;
}

// A 45-degree-high view with the renderer's aspect, from 1 to 1024 units deep.
void expectPerspective(float width, float height)
{
    const float quarter = 10 * std::tan(22.5f * static_cast<float>(M_PI) / 180) / 2; // of the height at depth 10
    const auto drawn = drawnPoints({{quarter * width / height, quarter, -10},
                                    {0, 0, -0.9f}, {0, 0, -1.1f}, {0, 0, -1000}, {0, 0, -1100}});
    ASSERT_EQ(3u, drawn.size()) << "only the points between the near and the far plane";
    EXPECT_NEAR(0.75f * width, drawn[0].x, 0.01f);
    EXPECT_NEAR(0.75f * height, drawn[0].y, 0.01f);
}

// The renderer restarted at other sizes; the test program's own size comes back afterwards.
class RendererTest : public ::testing::Test {
protected:
    void restartWith(int width, int height)
    {
        restartRenderer(dir, {{"renderer_width", width}, {"renderer_height", height}});
    }
    void TearDown() override { restartWith(640, 480); }

    ScopedWorkDir dir;
    Renderer& renderer = Renderer::getInstance();
};

// A renderer smaller than the window is drawn in its lower-left corner: the
// loader's picture checks that (loader_test.cpp).
TEST_F(RendererTest, OrthoCountsPixelsPerspectiveKeepsTheAspectAndUpdateClears)
{
    // Start sets the fixed state whatever was set before.
    glDepthFunc(GL_LESS);
    glShadeModel(GL_FLAT);
    glBlendFunc(GL_ONE, GL_ZERO);
    glEnable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    restartWith(640, 480);
    GLint depthFunction = 0, shading = 0, source = 0, destination = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunction);
    glGetIntegerv(GL_SHADE_MODEL, &shading);
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ((std::vector<GLint>{GL_LEQUAL, GL_SMOOTH, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}),
              (std::vector{depthFunction, shading, source, destination}));
    EXPECT_TRUE(!glIsEnabled(GL_BLEND) && glIsEnabled(GL_TEXTURE_2D) && glIsEnabled(GL_DEPTH_TEST));
    // The window of the test program is not fullscreen; only the lowest bit of the setting counts.
    EXPECT_EQ(0u, SDL_GetVideoSurface()->flags & SDL_FULLSCREEN);
    for (const auto& [setting, fullscreen] : {std::pair{0, false}, {1, true}, {2, false}, {3, true}, {-1, true}})
        EXPECT_EQ(fullscreen ? SDL_FULLSCREEN : 0u, Window::videoModeFlags(setting) & SDL_FULLSCREEN) << setting;

    for (const auto& [width, height] : {std::pair{640, 480}, {800, 400}}) {
        restartWith(width, height);
        glMatrixMode(GL_MODELVIEW);
        glTranslatef(3, 4, 5);
        renderer.setOrtho();
        renderer.setOrtho(); // twice is the same as once
        expectModelViewReset();
        // Renderer units are window pixels, over the depths 0 to 1.
        const float right = width - 10.0f, top = height - 10.0f;
        const auto drawn = drawnPoints({{10, 20, -0.5f}, {right, top, -0.9f}, {5, 5, 0.5f}, {5, 5, -1.5f}});
        ASSERT_EQ(2u, drawn.size());
        for (const auto& [got, want] : {std::pair{drawn[0].x, 10.0f}, {drawn[0].y, 20}, {drawn[1].x, right}, {drawn[1].y, top}})
            EXPECT_NEAR(want, got, 1e-3f);

        glTranslatef(1, 1, 1);
        renderer.setPerspective();
        expectModelViewReset();
        expectPerspective(static_cast<float>(width), static_cast<float>(height));
    }

    // Update clears colour and depth and resets the model-view matrix.
    renderer.setOrtho();
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_TEXTURE_2D);
    glColor3ub(255, 0, 0);
    glRectf(0, 0, 640, 480);
    glPopAttrib();
    ASSERT_EQ((Rgba{255, 0, 0, 255}), pixelAt(10, 10));
    glTranslatef(7, 0, 0);
    renderer.update();
    EXPECT_EQ((Rgba{128, 128, 204, 255}), pixelAt(10, 10)); // the clear colour
    expectModelViewReset();
    GLfloat depth = 0;
    glReadPixels(10, 10, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_FLOAT_EQ(1.0f, depth);
}

// Every test starts with no key, no button and no wheel flag.
class InputTest : public ::testing::Test {
protected:
    void SetUp() override { releaseAllInput(); }

    std::vector<int32_t> held() const
    {
        std::vector<int32_t> syms;
        for (const KeyRecord& key : input.getKeys())
            syms.push_back(key.sym);
        return syms;
    }

    Input& input = Input::getInstance();
};

TEST_F(InputTest, KeysStayInPressOrderAReleaseMovesTheNewestIntoItsGapAndQuitIsEscape)
{
    pushEvent(SDL_KEYUP, SDLK_q); // not held, on an empty list: nothing changes
    pushEvent(SDL_KEYDOWN, SDLK_a, 'a');
    pushEvent(SDL_KEYDOWN, SDLK_SPACE, ' ');
    pushEvent(SDL_KEYUP, SDLK_z);
    input.update();
    EXPECT_EQ((std::vector<int32_t>{SDLK_a, SDLK_SPACE}), held());
    EXPECT_EQ(' ', input.getKeys()[1].unicode);
    EXPECT_TRUE(input.isKeyHeld(SDLK_SPACE) && !input.isKeyHeld(SDLK_q));

    pushEvent(SDL_KEYDOWN, SDLK_b);
    pushEvent(SDL_KEYDOWN, SDLK_b);
    pushEvent(SDL_KEYDOWN, SDLK_c);
    pushEvent(SDL_KEYUP, SDLK_a);
    input.update();
    EXPECT_EQ((std::vector<int32_t>{SDLK_c, SDLK_SPACE, SDLK_b, SDLK_b}), held());
    pushEvent(SDL_KEYUP, SDLK_b); // one release removes one record
    pushEvent(SDL_QUIT, 0);       // becomes a held Escape in the same update
    input.update();
    EXPECT_EQ((std::vector<int32_t>{SDLK_c, SDLK_SPACE, SDLK_b, 27}), held());
    EXPECT_EQ(27, input.getKeys()[3].unicode);
    input.update();
    EXPECT_TRUE(input.isKeyHeld(Input::escapeSym)); // no key-up ever removes it by itself
}

TEST_F(InputTest, MotionMovesThePointerButtonsAreHeldAndWheelFlagsStayUntilReset)
{
    const auto state = [this] {
        return std::vector{input.getMouseX(),      input.getMouseY(),  input.getLeftButton(), input.getMiddleButton(),
                           input.getRightButton(), input.getWheelUp(), input.getWheelDown()};
    };
    pushEvent(SDL_MOUSEMOTION, 600, 470);
    pushEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    pushEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
    pushEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_WHEELUP);
    pushEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_WHEELUP);
    input.update();
    EXPECT_EQ((std::vector{600, 470, 1, 0, 1, 1, 0}), state());

    pushEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    pushEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE);
    pushEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_WHEELDOWN);
    input.update();
    EXPECT_EQ((std::vector{600, 470, 0, 1, 1, 1, 1}), state());
    input.resetWheelUp();
    EXPECT_EQ((std::vector{600, 470, 0, 1, 1, 0, 1}), state());
    input.resetWheelDown();
    EXPECT_EQ(0, input.getWheelDown());
}

TEST(Audio, OpensTheConfiguredDeviceWithSixteenChannelsAndAQuietSecond)
{
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    ASSERT_EQ(1, Mix_QuerySpec(&frequency, &format, &channels));
    EXPECT_EQ((std::vector{44100, 2, AUDIO_S16SYS, 16}), (std::vector{frequency, channels, int{format}, Mix_AllocateChannels(-1)}));
    EXPECT_EQ((std::vector{128, 64, 128, 128}),
              (std::vector{Mix_Volume(0, -1), Mix_Volume(1, -1), Mix_Volume(2, -1), Mix_Volume(Audio::walkingChannel, -1)}));
}

} // namespace
