// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "world/camera.h"

#include "engine/renderer.h"

#include <GL/gl.h>

namespace {
// Turning the world by -80 degrees about x makes its +z point almost straight
// up the screen and its +y into the screen.
constexpr float tiltDegrees = -80.0f;
}

Camera::Camera(float x, float y, float z)
    : x(x)
    , y(y)
    , z(z)
{
}

void Camera::apply() const
{
    Renderer::getInstance().setPerspective();
    glLoadIdentity();
    glTranslatef(x, y, z);
    glRotatef(tiltDegrees, 1.0f, 0.0f, 0.0f);
}
