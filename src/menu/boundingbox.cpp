// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "menu/boundingbox.h"

BoundingBox2D::BoundingBox2D(const Point2D& horizontal, const Point2D& vertical)
    : left(horizontal.x), right(horizontal.y), top(vertical.x), bottom(vertical.y)
{
}

bool BoundingBox2D::contains(const Point2D& point) const
{
    return left < point.x && point.x < right && bottom < point.y && point.y < top;
}
