// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <GL/glew.h>

#include "world/heightmap.h"

#include "resources/hlslshader.h"
#include "resources/image.h"
#include "resources/meshzms.h"
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

// Indices are 16 bits wide, the only width WebGL 1 (through Emscripten's
// emulation) draws, so one draw call reaches this many points.
constexpr int64_t pointsPerChunk = 65536;

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

    {
        const Held<Image> image(terrain.getHeightImageName());
        SDL_Surface* surface = image->getSurface();
        const SurfaceLock lock(surface);
        if (surface)
            terrain.build(*surface);
    }
    buildIndices();
    uploadGround();

    if (GLEW_ARB_multitexture && GLEW_ARB_shader_objects)
        shader = buildProgram();
    for (std::size_t unit = 0; unit < textures.size(); ++unit)
        textures[unit] = Held<Texture2D>(terrain.getTextureName(static_cast<int>(unit)));
    mesh = Held<MeshZMS>(terrain.getMeshName());
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
    terrain.readDescription(reader);
}

// Strip i's entries and its join to strip i + 1 (see getIndices). Every
// strip has an even number of entries, so each starts on an even triangle
// of the joined strip and keeps its winding.
void Heightmap::buildIndices()
{
    indices.clear();
    stripsPerChunk = 0;
    const int32_t strips = terrain.stripCount();
    if (strips == 0)
        return;
    const int32_t gridHeight = terrain.getGridHeight();
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
    const std::vector<Vertex>& vertices = terrain.getVertices();
    ground.assign(vertices.size(), GroundPoint{});
    for (std::size_t k = 0; k < vertices.size(); ++k) {
        ground[k].vertex = vertices[k];
        for (int unit = 0; unit < 4; ++unit)
            ground[k].texCoords[static_cast<std::size_t>(unit)] = terrain.getTexCoords(unit)[k];
    }
    groundBuffer.upload(ground.data(), ground.size() * sizeof(GroundPoint));
    indexBuffer.upload(indices.data(), indices.size() * sizeof(uint16_t));
    if (groundBuffer.isUploaded())
        ground = {}; // the card has it
}

void Heightmap::unload()
{
    groundBuffer.release();
    indexBuffer.release();
    if (shader) {
        shader->unload();
        shader.reset();
    }
    for (Held<Texture2D>& texture : textures)
        texture.reset();
    mesh.reset();
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
    const auto strip = [this](float x) {
        return static_cast<int32_t>(std::clamp<int64_t>(truncated(x / terrain.getScaleX()), 0, terrain.stripCount()));
    };
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
    range.endStrip = terrain.stripCount();
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
        glBindTexture(GL_TEXTURE_2D, idOf(textures[unit].get()));
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
    glBindTexture(GL_TEXTURE_2D, idOf(textures[1].get()));
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
    const auto gridHeight = static_cast<std::size_t>(terrain.getGridHeight());
    const std::size_t entriesPerStrip = 2 * gridHeight + 2;
    groundBuffer.bind();
    indexBuffer.bind();
    for (int32_t chunk = first / stripsPerChunk; chunk * stripsPerChunk < end; ++chunk) {
        const int32_t from = std::max(first, chunk * stripsPerChunk);
        const int32_t to = std::min(end, (chunk + 1) * stripsPerChunk);
        pointArrays(static_cast<std::size_t>(chunk) * static_cast<std::size_t>(stripsPerChunk) * gridHeight, allUnits);
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
    const std::vector<Point3D>& positions = terrain.getObjectPositions();
    const std::vector<float>& scales = terrain.getObjectScales();
    const std::size_t count = std::min(positions.size(), scales.size());
    for (std::size_t k = 0; mesh && k < count; ++k) {
        const Point3D& at = positions[k];
        if (!range.allDecorations && !(range.start < at.x && at.x < range.end))
            continue;
        const float scale = scales[k];
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

float Heightmap::heightAt(float x, float y) const
{
    return terrain.heightAt(x, y);
}

float Heightmap::getLengthX() const
{
    return terrain.getLengthX();
}

float Heightmap::getLengthY() const
{
    return terrain.getLengthY();
}

float Heightmap::getMaxHeight() const
{
    return terrain.getMaxHeight();
}

const MeshZMS* Heightmap::getMesh() const
{
    return mesh.get();
}

const Texture2D* Heightmap::getTexture(int unit) const
{
    return unit >= 0 && unit < 4 ? textures[static_cast<std::size_t>(unit)].get() : nullptr;
}
