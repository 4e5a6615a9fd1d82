// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/renderer.h"

#include "engine/config.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <iostream>

void Renderer::start()
{
    const int32_t rendererWidth = Config::get("renderer_width");
    const int32_t rendererHeight = Config::get("renderer_height");
    width = static_cast<float>(rendererWidth);
    height = static_cast<float>(rendererHeight);
    glViewport(0, 0, rendererWidth, rendererHeight);

    glClearColor(0.5f, 0.5f, 0.8f, 1.0f);
    glShadeModel(GL_SMOOTH);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);

    setPerspective();

    const GLenum status = glewInit();
    if (status != GLEW_OK)
        std::cout << "src/renderer: Could not resolve OpenGL extensions: "
                  << reinterpret_cast<const char*>(glewGetErrorString(status)) << std::endl;
}

bool Renderer::update()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    return false;
}

void Renderer::stop() {}

void Renderer::setOrtho()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, 0.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void Renderer::setPerspective()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, width / height, 1.0, 1024.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

float Renderer::getHeight() const
{
    return height;
}

float Renderer::getWidth() const
{
    return width;
}
