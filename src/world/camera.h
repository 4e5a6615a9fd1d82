// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/point.h"

#include <limits>

// The round's view: a fixed tilt that shows the z-up world from its side,
// looking along +y and 10 degrees down, followed by a translation. The
// camera never follows the player; the round shifts x as the level scrolls,
// and -x is the world x at the centre of the view.
class Camera {
public:
    Camera() = default;
    Camera(float x, float y, float z);
    virtual ~Camera() = default;

    // Switches to the 3D projection and loads the view as the model-view matrix.
    virtual void apply() const;

    float getX() const { return x; }
    void setX(float newX) { x = newX; }
    // The translation as a point, as the terrain wants it for its view window.
    Point3D getPosition() const { return {x, y, z}; }

private:
    float x = std::numeric_limits<float>::quiet_NaN();
    float y = std::numeric_limits<float>::quiet_NaN();
    float z = std::numeric_limits<float>::quiet_NaN();
};
