// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <limits>

// A mesh or terrain vertex: position, then normal, six packed floats. Arrays
// of it go to glVertexPointer and glNormalPointer with a stride of 24 bytes,
// the normal at byte 12. Unset fields are NaN.
struct Vertex {
    float x = std::numeric_limits<float>::quiet_NaN();
    float y = std::numeric_limits<float>::quiet_NaN();
    float z = std::numeric_limits<float>::quiet_NaN();
    float nx = std::numeric_limits<float>::quiet_NaN();
    float ny = std::numeric_limits<float>::quiet_NaN();
    float nz = std::numeric_limits<float>::quiet_NaN();
};

static_assert(sizeof(Vertex) == 6 * sizeof(float));
static_assert(offsetof(Vertex, x) == 0 && offsetof(Vertex, z) == 8);
static_assert(offsetof(Vertex, nx) == 12 && offsetof(Vertex, nz) == 20);
