// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

// Plain float vectors, copied by value. An unset coordinate is NaN so that a
// record used before it was set shows up at once instead of passing as zero.
// The layouts are fixed: arrays of Point2D go to OpenGL as texture coordinates.

struct Point2D {
    float x = std::numeric_limits<float>::quiet_NaN();
    float y = std::numeric_limits<float>::quiet_NaN();

    Point2D() = default;
    // Screen positions and sizes arrive as whole numbers.
    Point2D(int32_t x, int32_t y);

    void set(float newX, float newY);
    // Square root in single precision.
    float length() const;
    // Divides by length() without a test: a zero vector becomes NaN.
    void normalize();
};

Point2D operator+(const Point2D& a, const Point2D& b);
Point2D operator-(const Point2D& a, const Point2D& b);
Point2D operator*(const Point2D& a, float s);
float dot(const Point2D& a, const Point2D& b);

struct Point3D {
    float x = std::numeric_limits<float>::quiet_NaN();
    float y = std::numeric_limits<float>::quiet_NaN();
    float z = std::numeric_limits<float>::quiet_NaN();

    Point3D() = default;
    Point3D(float x, float y, float z) : x(x), y(y), z(z) {}

    float length() const;
    // Divides by length() without a test: a zero vector becomes NaN.
    void normalize();
};

Point3D operator+(const Point3D& a, const Point3D& b);
Point3D operator-(const Point3D& a, const Point3D& b);
Point3D operator*(const Point3D& a, float s);
float dot(const Point3D& a, const Point3D& b);
Point3D cross(const Point3D& a, const Point3D& b);

static_assert(sizeof(Point2D) == 2 * sizeof(float) && offsetof(Point2D, y) == sizeof(float));
static_assert(sizeof(Point3D) == 3 * sizeof(float) && offsetof(Point3D, z) == 2 * sizeof(float));
