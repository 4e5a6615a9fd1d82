// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <GL/glew.h>

#include "world/heightmap.h"

#include "resources/hlslshader.h"
#include "resources/image.h"
#include "resources/meshzms.h"
#include "platform/platform.h"
#include "resources/resourcemanager.h"
#include "resources/surfacepixels.h"
#include "resources/texture2d.h"
#include "engine/tokenreader.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>

namespace {

const char* const vertexShaderFile = "resources/shaders/vertexshader_terrain.fx";
const char* const fragmentShaderFile = "resources/shaders/fragmentshader_terrain.fx";

// Greens up to this value mean "no decoration here".
constexpr uint8_t decorationThreshold = 25;

// Indices are 16 bits wide, the only width WebGL 1 (through Emscripten's
// emulation) draws, so one draw call reaches this many points.
constexpr int64_t pointsPerChunk = 65536;

ResourceManager& manager()
{
    return ResourceManager::getInstance();
}

// A number of the description, or NaN when the file has none there.
float readNumber(TokenReader& reader)
{
    const float value = reader.readFloat();
    return reader.lastNumberFound() ? value : std::numeric_limits<float>::quiet_NaN();
}

// Gives the height image back however loading ends.
class HeldImage {
public:
    explicit HeldImage(const std::string& fileName) : image(manager().getResource<Image>(fileName)) {}
    ~HeldImage() { manager().releaseResource(image); }
    HeldImage(const HeldImage&) = delete;
    HeldImage& operator=(const HeldImage&) = delete;

    SDL_Surface* surface() const { return image->getSurface(); }

private:
    Image* image;
};

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

// Truncation toward zero that is defined for every float: NaN gives 0 and
// huge values stop far beyond any terrain, far from overflowing the sums
// they enter.
int64_t truncated(float value)
{
    constexpr float limit = 1099511627776.0f; // 2^40
    if (std::isnan(value))
        return 0;
    return static_cast<int64_t>(std::clamp(value, -limit, limit));
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

void enableArrays()
{
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

void disableArrays()
{
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void selectUnit(int unit)
{
    glActiveTextureARB(GL_TEXTURE0_ARB + unit);
    glClientActiveTextureARB(GL_TEXTURE0_ARB + unit);
}

GLuint idOf(const Texture2D* texture)
{
    return texture ? texture->getId() : 0;
}

} // namespace

Heightmap::Heightmap() : groundBuffer(GL_ARRAY_BUFFER), indexBuffer(GL_ELEMENT_ARRAY_BUFFER) {}
Heightmap::~Heightmap() = default;

void Heightmap::load(const std::string& fileName)
{
    name = fileName;
    TokenReader reader(fileName);
    readDescription(reader);

    const HeldImage image(heightImageName);
    SDL_Surface* surface = image.surface();
    const SurfaceLock lock(surface);
    if (surface)
        buildGrid(*surface);
    buildNormals();
    buildIndices();
    uploadGround();

    if (GLEW_ARB_multitexture && GLEW_ARB_shader_objects)
        shader = buildProgram();
    for (std::size_t unit = 0; unit < textures.size(); ++unit)
        textures[unit] = manager().getResource<Texture2D>(textureNames[unit]);
    mesh = manager().getResource<MeshZMS>(meshName);

    if (surface)
        placeDecorations(*surface);
}

// Drivers differ in the GLSL they accept, so a program this one rejects (or
// a missing source) must not end the game: the terrain takes the path of a
// driver without GLSL, as complete as the other, with one texture.
std::unique_ptr<HLSLShader> Heightmap::buildProgram()
{
    auto program = std::make_unique<HLSLShader>();
    try {
        program->loadShaders(vertexShaderFile, fragmentShaderFile);
        return program;
    } catch (const std::exception& error) {
        program->unload(); // no half-built program is kept or leaked
        std::cout << error.what() << '\n' << oneTextureNotice << std::endl;
        return nullptr;
    }
}

void Heightmap::readDescription(TokenReader& reader)
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

void Heightmap::buildGrid(const SDL_Surface& surface)
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

void Heightmap::buildNormals()
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

// Strip i's entries and its join to strip i + 1 (see getIndices). Every
// strip has an even number of entries, so each starts on an even triangle
// of the joined strip and keeps its winding.
void Heightmap::buildIndices()
{
    indices.clear();
    stripsPerChunk = 0;
    const int32_t strips = stripCount();
    if (strips == 0)
        return;
    const int64_t fitting = pointsPerChunk / gridHeight - 1; // two columns for the first strip
    if (fitting < 1) {
        std::cout << tooTallNotice << std::endl;
        return;
    }
    stripsPerChunk = static_cast<int32_t>(std::min<int64_t>(fitting, strips));
    const auto rows = static_cast<std::size_t>(gridHeight);
    indices.reserve((2 * rows + 2) * static_cast<std::size_t>(strips) - 2);
    for (int32_t i = 0; i < strips; ++i) {
        const int32_t chunkColumn = i / stripsPerChunk * stripsPerChunk;
        // Below 65536 by the choice of stripsPerChunk.
        const auto point = [&](int32_t column, std::size_t row) {
            return static_cast<uint16_t>(static_cast<std::size_t>(column - chunkColumn) * rows + row);
        };
        for (std::size_t j = 0; j < rows; ++j) {
            indices.push_back(point(i, j));
            indices.push_back(point(i + 1, j));
        }
        if (i + 1 == strips)
            break;
        // The last point again, then the next strip's first; a strip that
        // starts a new chunk is never joined, and takes the last point twice.
        const bool joined = (i + 1) % stripsPerChunk != 0;
        indices.push_back(point(i + 1, rows - 1));
        indices.push_back(joined ? point(i + 1, 0) : point(i + 1, rows - 1));
    }
}

void Heightmap::uploadGround()
{
    ground.assign(vertices.size(), GroundPoint{});
    for (std::size_t k = 0; k < vertices.size(); ++k) {
        ground[k].vertex = vertices[k];
        for (std::size_t unit = 0; unit < texCoords.size(); ++unit)
            ground[k].texCoords[unit] = texCoords[unit][k];
    }
    groundBuffer.upload(ground.data(), ground.size() * sizeof(GroundPoint));
    indexBuffer.upload(indices.data(), indices.size() * sizeof(uint16_t));
    if (groundBuffer.isUploaded())
        ground = {}; // the card has it
}

void Heightmap::placeDecorations(const SDL_Surface& surface)
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

void Heightmap::unload()
{
    groundBuffer.release();
    indexBuffer.release();
    if (shader) {
        shader->unload();
        shader.reset();
    }
    for (Texture2D*& texture : textures) {
        manager().releaseResource(texture);
        texture = nullptr;
    }
    manager().releaseResource(mesh);
    mesh = nullptr;
}

bool Heightmap::hasGeometry() const
{
    // Strips are found by dividing by scaleX and laid out along x and y; a
    // height scale of 0 is flat ground, which nothing divides by.
    const auto usable = [](float scale) { return std::isfinite(scale) && scale != 0.0f; };
    return usable(scaleX) && usable(scaleY) && std::isfinite(heightScale);
}

int32_t Heightmap::stripCount() const
{
    return hasGeometry() && gridWidth >= 2 && gridHeight >= 2 ? gridWidth - 1 : 0;
}

Heightmap::DrawRange Heightmap::rangeAround(const Point3D& cameraPosition) const
{
    // The view centre is -cameraPosition.x; the window is the centre plus or
    // minus viewRange, clipped to [0, length - 1]. 64-bit sums cannot overflow.
    const int64_t centre = truncated(cameraPosition.x);
    const int64_t lastX = truncated(getLengthX()) - 1;
    const int64_t nearEdge = centre + viewRange, farEdge = std::llabs(centre - viewRange);

    DrawRange range;
    range.allDecorations = false;
    range.start = nearEdge > 0 ? 0.0f : static_cast<float>(-nearEdge);
    range.end = static_cast<float>(farEdge < lastX ? farEdge : lastX);
    // Clamped to the strips that exist, so no scale can reach past the indices.
    const auto strip = [this](float x) { return static_cast<int32_t>(std::clamp<int64_t>(truncated(x / scaleX), 0, stripCount())); };
    range.firstStrip = strip(range.start);
    range.endStrip = strip(range.end);
    return range;
}

void Heightmap::draw(const Point3D& cameraPosition) const
{
    drawRange(rangeAround(cameraPosition));
}

void Heightmap::drawAll() const
{
    DrawRange range;
    range.endStrip = stripCount();
    drawRange(range);
}

void Heightmap::drawRange(const DrawRange& range) const
{
    if (shader)
        drawStripsWithProgram(range.firstStrip, range.endStrip);
    else
        drawStripsWithOneTexture(range.firstStrip, range.endStrip);
    drawDecorations(range);
}

// Every strip shares the same state, so it is set once around all of them.
void Heightmap::drawStripsWithProgram(int32_t first, int32_t end) const
{
    shader->bind();
    for (int unit = 0; unit < 4; ++unit) {
        selectUnit(unit);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, idOf(textures[unit]));
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        enableArrays();
    }
    drawStrips(first, end, true);
    for (int unit = 3; unit >= 1; --unit) {
        selectUnit(unit);
        glDisable(GL_TEXTURE_2D);
        disableArrays();
    }
    selectUnit(0);
    disableArrays();
    shader->unbind();
}

void Heightmap::drawStripsWithOneTexture(int32_t first, int32_t end) const
{
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, idOf(textures[1]));
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    enableArrays();
    drawStrips(first, end, false);
    disableArrays();
}

// One draw call per chunk that the strips touch: the window of a round
// (140 world units) lies in one chunk, or two, on every shipped level.
void Heightmap::drawStrips(int32_t first, int32_t end, bool allUnits) const
{
    if (first >= end || stripsPerChunk == 0)
        return;
    const std::size_t entriesPerStrip = 2 * static_cast<std::size_t>(gridHeight) + 2;
    groundBuffer.bind();
    indexBuffer.bind();
    for (int32_t chunk = first / stripsPerChunk; chunk * stripsPerChunk < end; ++chunk) {
        const int32_t from = std::max(first, chunk * stripsPerChunk);
        const int32_t to = std::min(end, (chunk + 1) * stripsPerChunk);
        pointArrays(static_cast<std::size_t>(chunk) * static_cast<std::size_t>(stripsPerChunk)
                        * static_cast<std::size_t>(gridHeight),
                    allUnits);
        // The strips and the joins between them, not the join after the last.
        const std::size_t count = static_cast<std::size_t>(to - from) * entriesPerStrip - 2;
        glDrawElements(GL_TRIANGLE_STRIP, static_cast<GLsizei>(count), GL_UNSIGNED_SHORT,
                       indexBuffer.at(indices.data(), static_cast<std::size_t>(from) * entriesPerStrip * sizeof(uint16_t)));
    }
    indexBuffer.unbind();
    groundBuffer.unbind();
}

// The arrays from point firstPoint on, the first point of a chunk. With the
// program, unit u's coordinates go to client unit u and unit 0 stays the
// client unit in use; without, texture 1's go to the client unit in use.
void Heightmap::pointArrays(std::size_t firstPoint, bool allUnits) const
{
    const std::size_t base = firstPoint * sizeof(GroundPoint);
    const auto at = [&](std::size_t offset) { return groundBuffer.at(ground.data(), base + offset); };
    constexpr auto stride = static_cast<GLsizei>(sizeof(GroundPoint));
    glVertexPointer(3, GL_FLOAT, stride, at(offsetof(GroundPoint, vertex) + offsetof(Vertex, x)));
    glNormalPointer(GL_FLOAT, stride, at(offsetof(GroundPoint, vertex) + offsetof(Vertex, nx)));
    const auto texCoordsOf = [&](std::size_t unit) {
        return at(offsetof(GroundPoint, texCoords) + unit * sizeof(Point2D));
    };
    if (!allUnits) {
        glTexCoordPointer(2, GL_FLOAT, stride, texCoordsOf(1));
        return;
    }
    for (int unit = 3; unit >= 0; --unit) {
        glClientActiveTextureARB(GL_TEXTURE0_ARB + unit);
        glTexCoordPointer(2, GL_FLOAT, stride, texCoordsOf(static_cast<std::size_t>(unit)));
    }
}

void Heightmap::drawDecorations(const DrawRange& range) const
{
    glEnable(GL_BLEND);
    const std::size_t count = std::min(objectPositions.size(), objectScales.size());
    for (std::size_t k = 0; mesh && k < count; ++k) {
        const Point3D& at = objectPositions[k];
        if (!range.allDecorations && !(range.start < at.x && at.x < range.end))
            continue;
        const float scale = objectScales[k];
        glPushMatrix();
        glTranslatef(at.x, at.y, at.z);
        glScalef(scale, scale, scale);
        mesh->draw();
        glPopMatrix();
    }
    glDisable(GL_BLEND);
    // An untextured mesh switches texturing off; what is drawn next (the
    // round's background) expects it on.
    glEnable(GL_TEXTURE_2D);
}

// Checked: a wrong grid index throws instead of reading past the points.
float Heightmap::heightOf(int32_t i, int32_t j) const
{
    return vertices.at(static_cast<std::size_t>(i) * static_cast<std::size_t>(gridHeight) + static_cast<std::size_t>(j)).z;
}

float Heightmap::heightAt(float x, float y) const
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

float Heightmap::getLengthX() const
{
    return static_cast<float>(gridWidth) * scaleX;
}

float Heightmap::getLengthY() const
{
    return static_cast<float>(gridHeight) * scaleY;
}

float Heightmap::getMaxHeight() const
{
    return heightScale * 255.0f;
}

const std::vector<Point2D>& Heightmap::getTexCoords(int unit) const
{
    return texCoords.at(static_cast<std::size_t>(unit));
}

const Texture2D* Heightmap::getTexture(int unit) const
{
    return unit >= 0 && unit < 4 ? textures[static_cast<std::size_t>(unit)] : nullptr;
}
