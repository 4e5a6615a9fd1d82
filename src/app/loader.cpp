// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/loader.h"

#include "engine/config.h"
#include "engine/renderer.h"
#include "resources/resourcemanager.h"
#include "resources/texture2d.h"
#include "engine/window.h"

#include <GL/gl.h>

void Loader::show()
{
    Loader& loader = getInstance();
    loader.load();
    Renderer::getInstance().setOrtho();
    loader.draw();
    Window::getInstance().update();
    loader.unload();
}

void Loader::load()
{
    picture = Held<Texture2D>(pictureFile);
}

void Loader::draw() const
{
    const auto width = static_cast<float>(Config::get("renderer_width"));
    const auto height = static_cast<float>(Config::get("renderer_height"));

    // Texturing is on and blending off since the renderer started, so the
    // picture covers whatever the buffer held.
    glBindTexture(GL_TEXTURE_2D, picture ? picture->getId() : 0);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(width, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(width, height);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(0.0f, height);
    glEnd();
}

void Loader::unload()
{
    // The last hold: the manager deletes the texture right here.
    picture.reset();
}
