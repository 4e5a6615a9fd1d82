// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/point.h"

// An axis-aligned rectangle in 2D menu units (y upwards, so top > bottom).
class BoundingBox2D {
public:
    // horizontal carries (left, right), vertical carries (top, bottom).
    BoundingBox2D(const Point2D& horizontal, const Point2D& vertical);
    virtual ~BoundingBox2D() = default;

    // True strictly inside: a point on an edge is outside.
    virtual bool contains(const Point2D& point) const;

    float left;
    float right;
    float top;
    float bottom;
};
