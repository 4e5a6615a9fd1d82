#include "face.h"
#include "point.h"
#include "vertex.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Unread values stay recognisable as NaN, faces start empty and flat, and a
// zero vector normalises to NaN: normalize divides without a length test.
TEST(Records, UnsetFloatsAndNormalisedZeroVectorsAreNaN)
{
    const Point2D p;
    const Vertex v;
    const Face f;
    Point2D flat(3, -4), zero2(0, 0);
    Point3D space(3, 4, 0), zero3(0, 0, 0);
    EXPECT_TRUE(flat.length() == 5.0f && space.length() == 5.0f);
    for (Point2D* point : {&flat, &zero2})
        point->normalize();
    for (Point3D* point : {&space, &zero3})
        point->normalize();
    EXPECT_FLOAT_EQ(-0.8f, flat.y);
    EXPECT_TRUE(space.x == 0.6f && space.y == 0.8f && space.z == 0.0f);
    for (float value : {p.x, p.y, v.x, v.y, v.z, v.nx, v.ny, v.nz, f.normal.x, f.normal.y, f.normal.z, zero2.x,
                        zero2.y, zero3.x, zero3.y, zero3.z})
        EXPECT_TRUE(std::isnan(value));
    EXPECT_TRUE(f.indices.empty() && f.texCoords.empty() && !f.smooth);
}

} // namespace
