// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/point.h"

#include <cmath>

Point2D::Point2D(int32_t x, int32_t y) : x(static_cast<float>(x)), y(static_cast<float>(y)) {}

void Point2D::set(float newX, float newY)
{
    x = newX;
    y = newY;
}

float Point2D::length() const
{
    return std::sqrt(x * x + y * y);
}

void Point2D::normalize()
{
    const float l = length();
    x /= l;
    y /= l;
}

Point2D operator+(const Point2D& a, const Point2D& b)
{
    Point2D sum;
    sum.set(a.x + b.x, a.y + b.y);
    return sum;
}

Point2D operator-(const Point2D& a, const Point2D& b)
{
    Point2D difference;
    difference.set(a.x - b.x, a.y - b.y);
    return difference;
}

Point2D operator*(const Point2D& a, float s)
{
    Point2D product;
    product.set(a.x * s, a.y * s);
    return product;
}

float dot(const Point2D& a, const Point2D& b)
{
    return a.x * b.x + a.y * b.y;
}

float Point3D::length() const
{
    return std::sqrt(x * x + y * y + z * z);
}

void Point3D::normalize()
{
    const float l = length();
    x /= l;
    y /= l;
    z /= l;
}

Point3D operator+(const Point3D& a, const Point3D& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

Point3D operator-(const Point3D& a, const Point3D& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Point3D operator*(const Point3D& a, float s)
{
    return {a.x * s, a.y * s, a.z * s};
}

float dot(const Point3D& a, const Point3D& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Point3D cross(const Point3D& a, const Point3D& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
