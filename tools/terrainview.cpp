// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// terrainview: shows a height-field description file the way the game does,
// so that a level maker can look at a terrain without playing it.
//
//     terrainview resources/heightmaps/start.txt
//     terrainview --measure 300 resources/heightmaps/start.txt
//
// Run it from the directory that holds resources/ (the engine reads
// resources/config.cfg from there). Two views, switched with Tab: the
// round's side camera, which Left and Right (Shift: faster) move along the
// terrain, and the menu's slowly turning backdrop. Escape or closing the
// window ends it. --measure draws the turning view for the given number of
// frames and prints the median time of one drawAll(), rendering included.

#include <GL/glew.h>

#include "world/heightmap.h"
#include "engine/input.h"
#include "engine/quenor.h"
#include "engine/renderer.h"
#include "resources/resourcemanager.h"
#include "engine/timer.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <algorithm>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

// Where a round starts its camera, and how the menu places its backdrop.
const Point3D roundCameraStart(-65.0f, -33.0f, -77.0f);
constexpr float menuSpinStart = 90.0f;
constexpr float menuSpinPerMillisecond = 0.005f;
constexpr float scrollPerMillisecond = 0.05f;
constexpr float fastScrollFactor = 8.0f;

enum class View { roundCamera, menuBackdrop };

struct Options {
    std::string descriptionFile;
    int measureFrames = 0; // 0: interactive
};

bool parseOptions(int argc, char** argv, Options& options)
{
    for (int a = 1; a < argc; ++a) {
        const std::string argument = argv[a];
        if (argument == "--measure" && a + 1 < argc)
            options.measureFrames = static_cast<int>(std::clamp(std::strtol(argv[++a], nullptr, 10), 1L, 100000L));
        else if (options.descriptionFile.empty() && argument.rfind("--", 0) != 0)
            options.descriptionFile = argument;
        else
            return false;
    }
    return !options.descriptionFile.empty();
}

// The round's view: a fixed tilt, then the camera's translation.
void applyRoundCamera(const Point3D& camera)
{
    Renderer::getInstance().setPerspective();
    glLoadIdentity();
    glTranslatef(camera.x, camera.y, camera.z);
    glRotatef(-80.0f, 1.0f, 0.0f, 0.0f);
}

// The menu's view: the terrain laid down in front of the viewer and turned
// about its vertical axis around the point (190, 190).
void applyMenuBackdrop(float spinAngle)
{
    Renderer::getInstance().setPerspective();
    glTranslatef(0.0f, -20.0f, -220.0f);
    glRotatef(-80.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(spinAngle, 0.0f, 0.0f, 1.0f);
    glTranslatef(-190.0f, -190.0f, 0.0f);
}

void showCaption(View view, const Point3D& camera)
{
    char caption[128];
    if (view == View::roundCamera)
        std::snprintf(caption, sizeof caption, "terrainview: round camera at x %.0f (view centre %.0f)", camera.x, -camera.x);
    else
        std::snprintf(caption, sizeof caption, "terrainview: menu backdrop");
    SDL_WM_SetCaption(caption, caption);
}

// A key that went down since the last frame.
class KeyPress {
public:
    explicit KeyPress(int32_t sym) : sym(sym) {}
    bool pressed()
    {
        const bool held = Input::getInstance().isKeyHeld(sym);
        const bool fresh = held && !wasHeld;
        wasHeld = held;
        return fresh;
    }

private:
    int32_t sym;
    bool wasHeld = false;
};

void runInteractive(Quenor& engine, const Heightmap& terrain)
{
    const Input& input = Input::getInstance();
    View view = View::roundCamera;
    Point3D camera = roundCameraStart;
    float spinAngle = menuSpinStart;
    KeyPress switchView(SDLK_TAB);
    showCaption(view, camera);

    while (!input.isKeyHeld(Input::escapeSym)) {
        const auto delta = static_cast<float>(Timer::getInstance().getDelta());
        if (switchView.pressed()) {
            view = view == View::roundCamera ? View::menuBackdrop : View::roundCamera;
            showCaption(view, camera);
        }
        if (view == View::roundCamera) {
            const float speed = scrollPerMillisecond * delta
                * (input.isKeyHeld(SDLK_LSHIFT) || input.isKeyHeld(SDLK_RSHIFT) ? fastScrollFactor : 1.0f);
            // The view centre is -camera.x: moving right lowers camera.x.
            const float step = (input.isKeyHeld(SDLK_LEFT) ? speed : 0.0f) - (input.isKeyHeld(SDLK_RIGHT) ? speed : 0.0f);
            if (step != 0.0f) {
                // min() keeps the bounds ordered for a mirrored (negative) length.
                const float farEnd = std::min(-terrain.getLengthX(), 0.0f);
                camera.x = std::clamp(camera.x + step, std::isnan(farEnd) ? 0.0f : farEnd, 0.0f);
                showCaption(view, camera);
            }
            glClearColor(0.5f, 0.5f, 1.0f, 1.0f);
            applyRoundCamera(camera);
            terrain.draw(camera);
        } else {
            glClearColor(0.5f, 0.5f, 0.8f, 1.0f);
            spinAngle += delta * menuSpinPerMillisecond;
            applyMenuBackdrop(spinAngle);
            terrain.drawAll();
        }
        engine.update();
    }
}

void measure(Quenor& engine, const Heightmap& terrain, int frames)
{
    std::vector<double> milliseconds;
    float spinAngle = menuSpinStart;
    for (int frame = 0; frame < frames; ++frame) {
        spinAngle += static_cast<float>(Timer::getInstance().getDelta()) * menuSpinPerMillisecond;
        applyMenuBackdrop(spinAngle);
        glFinish(); // the clear of the previous frame is not this frame's cost
        const auto begin = std::chrono::steady_clock::now();
        terrain.drawAll();
        glFinish(); // a software renderer rasterises only when flushed
        const auto end = std::chrono::steady_clock::now();
        milliseconds.push_back(std::chrono::duration<double, std::milli>(end - begin).count());
        engine.update();
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    std::cout << "drawAll() of " << terrain.getName() << " (" << terrain.getGridWidth() << " x "
              << terrain.getGridHeight() << " points, " << terrain.getObjectPositions().size() << " decorations, "
              << (terrain.getShader() ? "four-texture program" : "one texture") << "): median "
              << milliseconds[milliseconds.size() / 2] << " ms over " << frames << " frames (fastest "
              << milliseconds.front() << " ms, slowest " << milliseconds.back() << " ms)\n"
              << "renderer: " << reinterpret_cast<const char*>(glGetString(GL_RENDERER)) << std::endl;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::cerr << "usage: " << argv[0] << " [--measure FRAMES] DESCRIPTION_FILE\n"
                  << "Run from the directory that holds resources/. Tab switches between the round's camera\n"
                  << "and the menu's turning view; Left/Right (with Shift: faster) move the round's camera;\n"
                  << "Escape quits." << std::endl;
        return 2;
    }
    // The tool plays no sound: it must not fail on a machine without an audio device.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    try {
        Quenor engine;
        engine.start();
        {
            const Held<Heightmap> terrain(options.descriptionFile);
            if (options.measureFrames > 0)
                measure(engine, *terrain, options.measureFrames);
            else
                runInteractive(engine, *terrain);
        }
        engine.stop();
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "Error: " << error.what() << std::endl;
        SDL_Quit();
        return 1;
    }
}
