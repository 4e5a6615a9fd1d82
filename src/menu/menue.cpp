// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "menu/menue.h"

#include "world/heightmap.h"
#include "menu/menuecopyright.h"
#include "menu/menuelost.h"
#include "menu/menuelvl.h"
#include "menu/menuemain.h"
#include "menu/menuewonbronze.h"
#include "menu/menuewongold.h"
#include "menu/menuewonsilver.h"
#include "engine/renderer.h"
#include "resources/resourcemanager.h"
#include "resources/sound.h"
#include "resources/texture2d.h"
#include "engine/timer.h"

#include <GL/gl.h>

#include <array>
#include <cmath>

namespace {

std::unique_ptr<MenueImpl> createScreen(APP_STATE which)
{
    switch (which) {
    case APP_STATE::MENUE_MAIN: return std::make_unique<MenueMain>();
    case APP_STATE::MENUE_LVL: return std::make_unique<MenueLVL>();
    case APP_STATE::MENUE_COPYRIGHT: return std::make_unique<MenueCopyright>();
    case APP_STATE::MENUE_LOST: return std::make_unique<MenueLost>();
    case APP_STATE::MENUE_BRONZE: return std::make_unique<MenueWonBronze>();
    case APP_STATE::MENUE_SILVER: return std::make_unique<MenueWonSilver>();
    case APP_STATE::MENUE_GOLD: return std::make_unique<MenueWonGold>();
    default: return nullptr;
    }
}

bool isScreenState(APP_STATE state)
{
    const auto value = static_cast<int32_t>(state);
    return value >= static_cast<int32_t>(APP_STATE::MENUE_MAIN) && value <= static_cast<int32_t>(APP_STATE::MENUE_GOLD);
}

// One textured quad; corners as (x, y, s, t) in drawing order.
struct ShadeCorner {
    float x, y, s, t;
};

void drawQuad(const std::array<ShadeCorner, 4>& corners)
{
    glBegin(GL_QUADS);
    for (const ShadeCorner& corner : corners) {
        glTexCoord2f(corner.s, corner.t);
        glVertex2f(corner.x, corner.y);
    }
    glEnd();
}

} // namespace

Menue::Menue() = default;

Menue::~Menue()
{
    stop();
}

void Menue::start(APP_STATE firstScreen)
{
    terrain = Held<Heightmap>(terrainFile);
    shade = Held<Texture2D>(shadeFile);
    clickSound = Held<Sound>(clickSoundFile);
    overSound = Held<Sound>(overSoundFile);
    position = Point3D(0.0f, -20.0f, -220.0f);
    spinAngle = startSpinAngle;
    tiltAngle = startTiltAngle;
    state = firstScreen;
}

APP_STATE Menue::update()
{
    drawBackdrop();
    drawShade();
    if (state == APP_STATE::MENUE) {
        if (screen)
            screen->update();
    } else if (isScreenState(state)) {
        openScreen(state);
    } else if (state == APP_STATE::SHUTDOWN && listener != nullptr) {
        listener->actionPerformed("Menue", "ShutDown");
    }
    return state;
}

void Menue::stop()
{
    if (screen) {
        screen->stop();
        screen.reset();
    }
    terrain.reset();
    shade.reset();
    clickSound.reset();
    overSound.reset();
}

void Menue::actionPerformed(const std::string& fromSender, const std::string& fromCommand)
{
    if (fromSender == "Game") {
        if (listener != nullptr)
            listener->actionPerformed(fromSender, fromCommand);
    } else if (fromSender == "Menue") {
        if (fromCommand == "LVL")
            state = APP_STATE::MENUE_LVL;
        else if (fromCommand == "Main")
            state = APP_STATE::MENUE_MAIN;
        else if (fromCommand == "Copyright")
            state = APP_STATE::MENUE_COPYRIGHT;
        else
            state = APP_STATE::SHUTDOWN;
    }
}

void Menue::setActionListener(ActionListener* newListener, const std::string& newSender, const std::string& newCommand)
{
    listener = newListener;
    sender = newSender;
    command = newCommand;
}

void Menue::drawBackdrop()
{
    Renderer::getInstance().setPerspective();
    // Kept below a full turn, so the float keeps the precision of a 5-degree
    // per second step however long the menu runs.
    spinAngle = std::fmod(spinAngle + static_cast<float>(Timer::getInstance().getDelta()) * spinRate, 360.0f);
    glTranslatef(position.x, position.y, position.z);
    glRotatef(tiltAngle, 1.0f, 0.0f, 0.0f);
    glRotatef(spinAngle, 0.0f, 0.0f, 1.0f);
    glTranslatef(-190.0f, -190.0f, 0.0f);
    if (terrain)
        terrain->drawAll();
}

void Menue::drawShade() const
{
    Renderer& renderer = Renderer::getInstance();
    renderer.setOrtho();
    glEnable(GL_BLEND);
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, shade ? shade->getId() : 0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    drawShadeQuads(renderer.getWidth(), renderer.getHeight());
    glDisable(GL_BLEND);
}

void Menue::drawShadeQuads(float width, float height)
{
    const float w = width;
    const float h = height;
    // Along the bottom: the texture's band from t 0.21 to 0.4, mirrored.
    drawQuad({{{w, 0, 0, 0.21f}, {0, 0, 1, 0.21f}, {0, 100, 1, 0.4f}, {w, 100, 0, 0.4f}}});
    // The top bar's right 512 units show the texture's top fifth ...
    drawQuad({{{w - 512, h, 0, 0}, {w, h, 1, 0}, {w, h - 100, 1, 0.2f}, {w - 512, h - 100, 0, 0.2f}}});
    // ... and its leftmost tenth stretches over the rest of the width.
    drawQuad({{{w - 512, h, 0, 0}, {0, h, 0.1f, 0}, {0, h - 100, 0.1f, 0.2f}, {w - 512, h - 100, 0, 0.2f}}});
}

void Menue::openScreen(APP_STATE which)
{
    if (screen) {
        screen->stop();
        screen.reset();
    }
    screen = createScreen(which);
    screen->start(this);
    state = APP_STATE::MENUE;
}
