#include "face.h"
#include "point.h"
#include "vertex.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

std::array<float, 3> xyz(const Point3D& p)
{
    return {p.x, p.y, p.z};
}

TEST(Records, UnsetFloatsAreNaNAndFacesStartEmpty)
{
    const Point2D p;
    const Vertex v;
    const Face f;
    for (float value : {p.x, p.y, v.x, v.y, v.z, v.nx, v.ny, v.nz, f.normal.x, f.normal.y, f.normal.z})
        EXPECT_TRUE(std::isnan(value));
    EXPECT_TRUE(f.indices.empty() && f.texCoords.empty() && !f.smooth);
}

TEST(Records, VectorArithmetic)
{
    const Point2D a(-3, 7), b = Point2D(1, 2) * 0.5f;
    const Point2D difference = a - b;
    EXPECT_EQ((std::array{-3.5f, 6.0f}), (std::array{difference.x, difference.y}));
    EXPECT_EQ(5.5f, dot(a, b));
    const Point3D c(1, 2, 3), d(4, -5, 6);
    EXPECT_EQ((std::array{-3.0f, 7.0f, -3.0f}), xyz(c - d));
    EXPECT_EQ((std::array{5.0f, -3.0f, 9.0f}), xyz(c + d * 1.0f));
    EXPECT_EQ(12.0f, dot(c, d));
    EXPECT_EQ((std::array{27.0f, 6.0f, -13.0f}), xyz(cross(c, d)));
    // A flat terrain cell's edges give a normal pointing up.
    EXPECT_EQ((std::array{0.0f, 0.0f, 1.0f}), xyz(cross(Point3D(0, -1, 0), Point3D(1, -1, 0))));
}

TEST(Records, NormalizeDividesByTheLengthWithoutATest)
{
    Point2D flat(3, -4), zero2(0, 0);
    Point3D space(3, 4, 0), zero3(0, 0, 0);
    EXPECT_EQ(5.0f, flat.length());
    EXPECT_EQ(5.0f, space.length());
    for (Point2D* p : {&flat, &zero2})
        p->normalize();
    for (Point3D* p : {&space, &zero3})
        p->normalize();
    EXPECT_FLOAT_EQ(-0.8f, flat.y);
    EXPECT_EQ((std::array{0.6f, 0.8f, 0.0f}), xyz(space));
    EXPECT_TRUE(std::isnan(zero2.x) && std::isnan(zero2.y) && std::isnan(zero3.x) && std::isnan(zero3.z));
}

} // namespace
