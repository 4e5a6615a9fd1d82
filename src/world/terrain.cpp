// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "world/terrain.h"

#include "engine/tokenreader.h"
#include "resources/surfacepixels.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <cmath>

namespace {

// Greens up to this value mean "no decoration here".
constexpr uint8_t decorationThreshold = 25;

// A number of the description, or NaN when the file has none there.
float readNumber(TokenReader& reader)
{
    const float value = reader.readFloat();
    return reader.lastNumberFound() ? value : std::numeric_limits<float>::quiet_NaN();
}

Point3D positionOf(const Vertex& vertex)
{
    return {vertex.x, vertex.y, vertex.z};
}

Point3D normalOf(const Point3D& a, const Point3D& b, const Point3D& c)
{
    Point3D normal = cross(b - a, c - a);
    normal.normalize();
    return normal;
}

// One axis of the cell a height query falls in: grid index, the next grid
// index along that axis (the same one on a terrain one point wide) and the
// position between them.
struct CellAxis {
    int32_t index = 0;
    int32_t next = 0;
    float fraction = 0.0f;
};

CellAxis cellAxis(float grid, int32_t points)
{
    CellAxis axis;
    axis.next = std::min(1, points - 1);
    if (grid >= static_cast<float>(points - 1))
        grid = static_cast<float>(points - 2);
    if (!(grid >= 0.0f)) // below 0, or not a number
        return axis;
    // 0 <= grid <= points - 2 here, so the conversion is in range.
    axis.index = std::min(static_cast<int32_t>(grid), points - 2);
    axis.next = axis.index + 1;
    axis.fraction = grid - static_cast<float>(axis.index);
    return axis;
}

} // namespace

void Terrain::readDescription(TokenReader& reader)
{
    heightImageName = reader.readString();
    scaleX = readNumber(reader);
    scaleY = readNumber(reader);
    heightScale = readNumber(reader);
    for (std::string& textureName : textureNames)
        textureName = reader.readString();
    for (float& repeat : repeats)
        repeat = readNumber(reader);
    meshName = reader.readString();
    meshScale = readNumber(reader);
}

void Terrain::build(const SDL_Surface& heightImage)
{
    buildGrid(heightImage);
    buildNormals();
    placeDecorations(heightImage);
}

void Terrain::buildGrid(const SDL_Surface& surface)
{
    gridWidth = surface.w;
    gridHeight = surface.h;
    const auto points = static_cast<std::size_t>(gridWidth) * static_cast<std::size_t>(gridHeight);
    vertices.assign(points, Vertex{});
    for (auto& set : texCoords)
        set.assign(points, Point2D{});

    const auto width = static_cast<float>(gridWidth), height = static_cast<float>(gridHeight);
    std::size_t k = 0;
    for (int32_t i = 0; i < gridWidth; ++i) {
        const auto column = static_cast<float>(i);
        for (int32_t j = 0; j < gridHeight; ++j, ++k) {
            const auto row = static_cast<float>(j);
            const Rgba8 colour = colourAt(surface, i, j);
            Vertex& vertex = vertices[k];
            vertex.x = column * scaleX;
            vertex.y = row * scaleY;
            vertex.z = static_cast<float>(colour.r) * heightScale;
            texCoords[0][k].set(column / width, row / height);
            // Textures 1 to 3 keep square texels: both coordinates go by the width.
            for (std::size_t set = 1; set < texCoords.size(); ++set)
                texCoords[set][k].set(column / width * repeats[set - 1], row / width * repeats[set - 1]);
        }
    }
}

void Terrain::buildNormals()
{
    const int32_t rows = gridHeight;
    const auto at = [&](int32_t i, int32_t j) { return positionOf(vertices[static_cast<std::size_t>(i) * rows + j]); };
    const auto faceIndex = [&](int32_t i, int32_t j) { return 2 * static_cast<std::size_t>(i) * (rows - 1) + 2 * static_cast<std::size_t>(j - 1); };

    // Each cell is split along the diagonal from (i + 1, j - 1) to (i, j).
    faceNormals.clear();
    if (gridWidth >= 2 && gridHeight >= 2)
        faceNormals.resize(2 * static_cast<std::size_t>(gridWidth - 1) * static_cast<std::size_t>(rows - 1));
    for (int32_t i = 0; i + 1 < gridWidth; ++i) {
        for (int32_t j = 1; j < rows; ++j) {
            const std::size_t c = faceIndex(i, j);
            faceNormals[c] = normalOf(at(i, j), at(i, j - 1), at(i + 1, j - 1));
            faceNormals[c + 1] = normalOf(at(i, j), at(i + 1, j - 1), at(i + 1, j));
        }
    }

    // Border points point straight up; an interior point averages the six
    // triangles around it. The average is deliberately not renormalised:
    // the lighting has always been tuned to it.
    const Point3D up(0.0f, 0.0f, 1.0f);
    for (int32_t i = 0; i < gridWidth; ++i) {
        for (int32_t j = 0; j < rows; ++j) {
            Point3D normal = up;
            if (i > 0 && i + 1 < gridWidth && j > 0 && j + 1 < rows) {
                // The three triangles of column strip i and the three of strip
                // i - 1 that touch (i, j).
                const std::size_t right = faceIndex(i, j), left = faceIndex(i - 1, j);
                normal = (faceNormals[right] + faceNormals[right + 1] + faceNormals[right + 2] + faceNormals[left + 1]
                             + faceNormals[left + 2] + faceNormals[left + 3])
                    * 0.16666667f;
            }
            Vertex& vertex = vertices[static_cast<std::size_t>(i) * rows + j];
            vertex.nx = normal.x;
            vertex.ny = normal.y;
            vertex.nz = normal.z;
        }
    }
}

void Terrain::placeDecorations(const SDL_Surface& surface)
{
    // From the last image row to the first, left to right within a row.
    for (int32_t j = gridHeight - 1; j >= 0; --j) {
        for (int32_t i = 0; i < gridWidth; ++i) {
            const Rgba8 colour = colourAt(surface, i, j);
            if (colour.g <= decorationThreshold)
                continue;
            objectPositions.emplace_back(static_cast<float>(i) * scaleX, static_cast<float>(j) * scaleY,
                static_cast<float>(colour.r) * heightScale);
            objectScales.push_back(static_cast<float>(colour.g) * heightScale * meshScale);
        }
    }
}

bool Terrain::hasGeometry() const
{
    // Strips are found by dividing by scaleX and laid out along x and y; a
    // height scale of 0 is flat ground, which nothing divides by.
    const auto usable = [](float scale) { return std::isfinite(scale) && scale != 0.0f; };
    return usable(scaleX) && usable(scaleY) && std::isfinite(heightScale);
}

int32_t Terrain::stripCount() const
{
    return hasGeometry() && gridWidth >= 2 && gridHeight >= 2 ? gridWidth - 1 : 0;
}

// Checked: a wrong grid index throws instead of reading past the points.
float Terrain::heightOf(int32_t i, int32_t j) const
{
    return vertices.at(static_cast<std::size_t>(i) * static_cast<std::size_t>(gridHeight) + static_cast<std::size_t>(j)).z;
}

float Terrain::heightAt(float x, float y) const
{
    if (vertices.empty())
        return 0.0f;
    const CellAxis column = cellAxis(x / scaleX, gridWidth);
    const CellAxis row = cellAxis(y / scaleY, gridHeight);
    const float h00 = heightOf(column.index, row.index);
    const float h10 = heightOf(column.next, row.index);
    const float h01 = heightOf(column.index, row.next);
    return h00 + column.fraction * (h10 - h00) + row.fraction * (h01 - h00);
}

float Terrain::getLengthX() const
{
    return static_cast<float>(gridWidth) * scaleX;
}

float Terrain::getLengthY() const
{
    return static_cast<float>(gridHeight) * scaleY;
}

float Terrain::getMaxHeight() const
{
    return heightScale * 255.0f;
}

const std::vector<Point2D>& Terrain::getTexCoords(int unit) const
{
    return texCoords.at(static_cast<std::size_t>(unit));
}

const std::string& Terrain::getTextureName(int unit) const
{
    return textureNames.at(static_cast<std::size_t>(unit));
}
