// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/point.h"

#include <cstdint>
#include <vector>

// One polygon of a mesh: corner indices into the mesh's vertex array and,
// for a textured mesh, one texture coordinate per corner in the same order.
struct Face {
    std::vector<int32_t> indices;
    std::vector<Point2D> texCoords;
    Point3D normal;
    // true: each corner is lit with its vertex's normal; false: the whole
    // face is lit with `normal`.
    bool smooth = false;
};
