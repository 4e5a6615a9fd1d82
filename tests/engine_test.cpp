// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The engine's own tasks as the test program started them: renderer and input.

#include "engine/input.h"
#include "engine/renderer.h"
#include "engine/window.h"

#include "engineenvironment.h"
#include "glcapture.h"
#include "tempdir.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>
#include <vector>

namespace {

void expectModelViewReset()
{
    EXPECT_EQ(GL_MODELVIEW, glInteger(GL_MATRIX_MODE));
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

// The renderer restarted at other sizes; the test program's own size comes
// back at the end. (Where the orthographic units land: every 2D drawing test.)
TEST(Renderer, StartSetsTheFixedStatePerspectiveKeepsTheAspectAndUpdateClears)
{
    ScopedWorkDir dir;
    Renderer& renderer = Renderer::getInstance();
    const auto restartWith = [&dir](int width, int height) {
        restartRenderer(dir, {{"renderer_width", width}, {"renderer_height", height}});
    };
    // Start sets the fixed state whatever was set before.
    glDepthFunc(GL_LESS);
    glShadeModel(GL_FLAT);
    glBlendFunc(GL_ONE, GL_ZERO);
    glEnable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    restartWith(640, 480);
    EXPECT_EQ((std::vector<GLint>{GL_LEQUAL, GL_SMOOTH, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}),
              (std::vector{glInteger(GL_DEPTH_FUNC), glInteger(GL_SHADE_MODEL), glInteger(GL_BLEND_SRC),
                           glInteger(GL_BLEND_DST)}));
    EXPECT_TRUE(!glIsEnabled(GL_BLEND) && glIsEnabled(GL_TEXTURE_2D) && glIsEnabled(GL_DEPTH_TEST));
    // Only the lowest bit of the setting counts.
    for (const auto& [setting, fullscreen] : {std::pair{0, false}, {1, true}, {2, false}, {3, true}, {-1, true}})
        EXPECT_EQ(fullscreen ? SDL_FULLSCREEN : 0u, Window::videoModeFlags(setting) & SDL_FULLSCREEN) << setting;

    for (const auto& [width, height] : {std::pair{640, 480}, {800, 400}}) {
        restartWith(width, height);
        glMatrixMode(GL_MODELVIEW);
        glTranslatef(3, 4, 5);
        renderer.setOrtho();
        renderer.setOrtho(); // twice is the same as once
        expectModelViewReset();

        glTranslatef(1, 1, 1);
        renderer.setPerspective();
        expectModelViewReset();
        // A 45-degree-high view with the renderer's aspect, from 1 to 1024 units deep.
        const float quarter = 10 * std::tan(22.5f * static_cast<float>(M_PI) / 180) / 2; // of the height at depth 10
        const auto seen = drawnPoints({{quarter * width / height, quarter, -10},
                                       {0, 0, -0.9f}, {0, 0, -1.1f}, {0, 0, -1000}, {0, 0, -1100}});
        ASSERT_EQ(3u, seen.size()) << "only the points between the near and the far plane";
        EXPECT_NEAR(0.75f * width, seen[0].x, 0.01f);
        EXPECT_NEAR(0.75f * height, seen[0].y, 0.01f);
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
    restartWith(640, 480);
}

// Keys stay in press order, a release moves the newest into its gap, and
// quit is a held Escape; motion moves the pointer, the left button is held
// and its press is a click in that update only.
TEST(Input, KeysStayInPressOrderQuitIsEscapeAndTheLeftButtonIsHeld)
{
    releaseAllInput();
    Input& input = Input::getInstance();
    // Pushes the events, lets the input take them and answers the keys held.
    const auto after = [&input](std::initializer_list<std::array<int, 3>> events) {
        for (const auto& [type, a, b] : events)
            pushEvent(static_cast<Uint8>(type), a, b);
        input.update();
        std::vector<int32_t> syms;
        for (const KeyRecord& key : input.getKeys())
            syms.push_back(key.sym);
        return syms;
    };
    // A release of a key not held, on an empty list or not, changes nothing.
    EXPECT_EQ((std::vector<int32_t>{SDLK_a, SDLK_SPACE}),
              after({{SDL_KEYUP, SDLK_q, 0}, {SDL_KEYDOWN, SDLK_a, 'a'}, {SDL_KEYDOWN, SDLK_SPACE, ' '},
                     {SDL_KEYUP, SDLK_z, 0}}));
    EXPECT_EQ(' ', input.getKeys()[1].unicode);
    EXPECT_TRUE(input.isKeyHeld(SDLK_SPACE) && !input.isKeyHeld(SDLK_q));
    EXPECT_EQ((std::vector<int32_t>{SDLK_c, SDLK_SPACE, SDLK_b, SDLK_b}),
              after({{SDL_KEYDOWN, SDLK_b, 0}, {SDL_KEYDOWN, SDLK_b, 0}, {SDL_KEYDOWN, SDLK_c, 0},
                     {SDL_KEYUP, SDLK_a, 0}}));
    // One release removes one record; quit becomes a held Escape in the same update.
    EXPECT_EQ((std::vector<int32_t>{SDLK_c, SDLK_SPACE, SDLK_b, 27}),
              after({{SDL_KEYUP, SDLK_b, 0}, {SDL_QUIT, 0, 0}}));
    EXPECT_EQ(27, input.getKeys()[3].unicode);
    input.update();
    EXPECT_TRUE(input.isKeyHeld(Input::escapeSym)); // no key-up ever removes it by itself

    after({{SDL_MOUSEMOTION, 600, 470}, {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 0}});
    EXPECT_EQ((std::vector{600, 470, 1}), (std::vector{input.getMouseX(), input.getMouseY(), input.getLeftButton()}));
    EXPECT_TRUE(input.wasClicked());
    after({{SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 0}});
    EXPECT_EQ(0, input.getLeftButton());
    EXPECT_FALSE(input.wasClicked()) << "the click was the update before";
}

// Each pad control is one held key while it acts, pressed as it begins;
// a key and a pad control of the same symbol are two held keys. Only the
// input focus or the window's being shown going away counts as leaving.
TEST(Input, PadControlsAreHeldKeysWhileTheyActAndLeavingTheWindowIsSeenOnce)
{
    releaseAllInput();
    Input& input = Input::getInstance();
    const auto sorted = [](std::vector<int32_t> syms) {
        std::sort(syms.begin(), syms.end());
        return syms;
    };
    const struct {
        std::vector<std::array<int, 3>> events;
        std::vector<int32_t> held, pressed; // held in any order, pressed in order
    } steps[] = {
        {{{SDL_JOYAXISMOTION, 0, Input::stickDeadZone}, {SDL_JOYAXISMOTION, 1, -Input::stickDeadZone}}, {}, {}},
        {{{SDL_JOYAXISMOTION, 0, Input::stickDeadZone + 1}}, {SDLK_RIGHT}, {SDLK_RIGHT}},
        {{{SDL_JOYAXISMOTION, 0, 32767}, {SDL_JOYAXISMOTION, 2, 32767}}, {SDLK_RIGHT}, {}},
        {{{SDL_JOYAXISMOTION, 1, -20000}, {SDL_JOYHATMOTION, SDL_HAT_RIGHTDOWN, 0}, {SDL_KEYDOWN, SDLK_RIGHT, 0}},
         {SDLK_UP, SDLK_RIGHT, SDLK_RIGHT, SDLK_RIGHT, SDLK_DOWN}, {SDLK_UP, SDLK_RIGHT, SDLK_DOWN, SDLK_RIGHT}},
        {{{SDL_KEYUP, SDLK_RIGHT, 0}, {SDL_JOYAXISMOTION, 0, -32768}, {SDL_JOYHATMOTION, SDL_HAT_LEFT, 0}},
         {SDLK_UP, SDLK_LEFT, SDLK_LEFT}, {SDLK_LEFT, SDLK_LEFT}},
        {{{SDL_JOYBUTTONDOWN, 0, 0}, {SDL_JOYBUTTONDOWN, 2, 0}, {SDL_JOYBUTTONDOWN, 7, 0}, {SDL_JOYBUTTONDOWN, 5, 0}},
         {SDLK_UP, SDLK_LEFT, SDLK_LEFT, SDLK_SPACE, SDLK_w, SDLK_p}, {SDLK_SPACE, SDLK_w, SDLK_p}},
        {{{SDL_JOYAXISMOTION, 0, 100}, {SDL_JOYAXISMOTION, 1, 0}, {SDL_JOYHATMOTION, SDL_HAT_CENTERED, 0},
          {SDL_JOYBUTTONUP, 0, 0}, {SDL_JOYBUTTONUP, 2, 0}, {SDL_JOYBUTTONUP, 7, 0}, {SDL_JOYBUTTONUP, 5, 0}},
         {}, {}},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        for (const auto& [type, a, b] : steps[i].events)
            pushEvent(static_cast<Uint8>(type), a, b);
        input.update();
        std::vector<int32_t> held;
        for (const KeyRecord& key : input.getKeys())
            held.push_back(key.sym);
        EXPECT_EQ(sorted(steps[i].held), sorted(held)) << "step " << i;
        EXPECT_EQ(steps[i].pressed, input.getPresses()) << "step " << i;
    }

    for (const auto& [gain, state, leaves] : {std::tuple{0, SDL_APPMOUSEFOCUS, false}, {1, SDL_APPINPUTFOCUS, false},
                                              {0, SDL_APPINPUTFOCUS, true}, {0, SDL_APPACTIVE, true}}) {
        pushEvent(SDL_ACTIVEEVENT, gain, state);
        input.update();
        EXPECT_EQ(leaves, input.hasLeftWindow()) << "gain " << gain << ", state " << state;
    }
    input.update();
    EXPECT_FALSE(input.hasLeftWindow()) << "only in the update that saw it";
}

} // namespace
