// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "world/scenemanager.h"

#include "world/camera.h"
#include "engine/config.h"
#include "world/heightmap.h"
#include "world/player.h"
#include "engine/renderer.h"
#include "resources/texture2d.h"

#include <GL/gl.h>

void SceneManager::init()
{
    glClearColor(0.5f, 0.5f, 1.0f, 1.0f);
}

void SceneManager::addObject(Player* object)
{
    objects.push_back(object);
}

void SceneManager::addTerrain(Heightmap* terrain)
{
    terrains.push_back(terrain);
}

void SceneManager::setCamera(Camera* newCamera)
{
    camera = newCamera;
}

void SceneManager::setBackground(Texture2D* texture)
{
    background = texture;
}

// Texturing and the texture environment are left as the previous drawing
// left them: the terrain keeps 2D texturing on with GL_MODULATE.
void SceneManager::drawBackground() const
{
    const auto width = static_cast<float>(Config::get("renderer_width"));
    const auto height = static_cast<float>(Config::get("renderer_height"));
    Renderer::getInstance().setOrtho();
    glDisable(GL_DEPTH_TEST);
    glBindTexture(GL_TEXTURE_2D, background->getId());
    glBegin(GL_QUADS);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(width, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(width, height);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(0.0f, height);
    glEnd();
    glEnable(GL_DEPTH_TEST);
    Renderer::getInstance().setPerspective();
}

void SceneManager::render() const
{
    if (background)
        drawBackground();
    if (!camera)
        return;
    camera->apply();
    for (const Player* object : objects)
        object->draw();
    const Point3D cameraPosition = camera->getPosition();
    for (const Heightmap* terrain : terrains)
        terrain->draw(cameraPosition);
}

void SceneManager::clear()
{
    objects.clear();
    terrains.clear();
    camera = nullptr;
    background = nullptr;
}
