// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/point.h"
#include "engine/vertex.h"

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

class TokenReader;
struct SDL_Surface;

// The data of a height-field terrain, apart from any drawing: the
// description, the grid of points with their texture coordinates and normals,
// the decorations, and the height under any point. Grid point (i, j) is
// pixel (column i, row j) of the height image and stands at
// (i * scaleX, j * scaleY, red * heightScale).
//
// The description file holds four records of whitespace-separated tokens:
//     heightImage scaleX scaleY heightScale
//     texture0 texture1 texture2 texture3
//     repeat1 repeat2 repeat3
//     decorationMesh meshScale
// Missing numbers stay NaN and missing names empty. A pixel with green above
// 25 carries a decoration scaled by green * heightScale * meshScale.
//
// Per-point arrays are column-major (index i * gridHeight + j). A terrain
// whose scaleX or scaleY is 0, or whose scaleX, scaleY or heightScale is not
// a finite number, has no usable geometry (hasGeometry()), and its queries
// still give defined answers. A heightScale of 0 is flat ground.
class Terrain {
public:
    // The four records from the reader's text into the names and numbers.
    void readDescription(TokenReader& reader);
    // The grid, its texture coordinates, normals and decorations from the
    // height image's pixels, read through its own pixel format.
    void build(const SDL_Surface& heightImage);

    // Height on the plane through grid points (i, j), (i + 1, j), (i, j + 1)
    // of the cell holding (x, y). At or beyond the last column (row) the
    // answer comes from the one before it; below 0 (or at a coordinate that
    // is not a number) from column (row) 0. A terrain one point wide (high)
    // has no slope that way; one without points answers 0.
    float heightAt(float x, float y) const;
    // Grid points times scale: one step longer than the last point's x (y).
    float getLengthX() const;
    float getLengthY() const;
    float getMaxHeight() const;
    // Whether the scales lay the points out in a usable grid.
    bool hasGeometry() const;
    // The column strips drawing needs: gridWidth - 1, or 0 without geometry
    // or with fewer than two points in either direction.
    int32_t stripCount() const;

    const std::string& getHeightImageName() const { return heightImageName; }
    // unit 0 to 3
    const std::string& getTextureName(int unit) const;
    const std::string& getMeshName() const { return meshName; }
    int32_t getGridWidth() const { return gridWidth; }
    int32_t getGridHeight() const { return gridHeight; }
    float getScaleX() const { return scaleX; }
    float getScaleY() const { return scaleY; }
    float getHeightScale() const { return heightScale; }
    float getMeshScale() const { return meshScale; }
    const std::vector<Vertex>& getVertices() const { return vertices; }
    // unit 0 to 3
    const std::vector<Point2D>& getTexCoords(int unit) const;
    const std::vector<Point3D>& getFaceNormals() const { return faceNormals; }
    const std::vector<Point3D>& getObjectPositions() const { return objectPositions; }
    const std::vector<float>& getObjectScales() const { return objectScales; }

private:
    static constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();

    void buildGrid(const SDL_Surface& surface);
    void buildNormals();
    void placeDecorations(const SDL_Surface& surface);
    float heightOf(int32_t i, int32_t j) const;

    std::string heightImageName;
    std::array<std::string, 4> textureNames;
    std::string meshName;
    float scaleX = notANumber;
    float scaleY = notANumber;
    float heightScale = notANumber;
    float meshScale = notANumber;
    std::array<float, 3> repeats = {notANumber, notANumber, notANumber}; // textures 1 to 3
    std::vector<Vertex> vertices;
    std::array<std::vector<Point2D>, 4> texCoords;
    std::vector<Point3D> faceNormals;
    std::vector<Point3D> objectPositions;
    std::vector<float> objectScales;
    int32_t gridWidth = 0;
    int32_t gridHeight = 0;
};
