// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/point.h"
#include "world/terrain.h"
#include "resources/bufferobject.h"
#include "resources/resource.h"
#include "resources/resourcemanager.h"
#include "engine/vertex.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class HLSLShader;
class MeshZMS;
class Texture2D;
class TokenReader;

// A height-field terrain as a resource (its data in a Terrain: the
// description file, the grid, normals, decorations and heights) and its
// drawing: textured with up to four textures, lit by per-vertex normals and
// dotted with copies of one decoration mesh. A description that names no
// usable images or mesh gets their defaults.
//
// Drawing uses a copy made at load time: every point's position, normal and
// four texture coordinates interleaved in one buffer object, and the strips'
// indices in another, so that a frame sends only a few draw calls. A terrain
// without usable geometry (Terrain::hasGeometry) draws only its decorations.
class Heightmap : public Resource {
public:
    static constexpr const char* qualifiedName = "heightmap.Heightmap";
    static constexpr int32_t initialViewRange = 70;
    // Printed after the program's error when the terrain program cannot be built.
    static constexpr const char* oneTextureNotice = "src/heightmap: The terrain is drawn with one texture.";
    // Printed at load time for a terrain whose two columns of one strip hold
    // more points than 16-bit indices reach (more than 32768 rows): only its
    // decorations are drawn.
    static constexpr const char* tooTallNotice = "src/heightmap: The terrain has too many rows to draw.";

    // Out of line: the program's class is only declared here.
    Heightmap();
    ~Heightmap() override;

    // Reads the description file and builds everything drawing needs. No
    // default file: an unopenable description throws the token reader's open
    // error. The GLSL program is built when both GL_ARB_multitexture and
    // GL_ARB_shader_objects are offered. When it cannot be built (a missing
    // source, a shader the driver rejects) its error and oneTextureNotice go
    // to standard output and the terrain draws with one texture, as without
    // those extensions.
    void load(const std::string& fileName) override;
    // Frees the program and gives the textures and the mesh back.
    void unload() override;
    // The description part of load(): the four records from the reader's
    // text into the names and numbers, nothing loaded or built.
    void readDescription(TokenReader& reader);

    // Draws the column strips and the decorations within viewRange world
    // units of the view centre, -cameraPosition.x. Both drawing operations
    // keep the model-view matrix and leave blending off, texture unit 0
    // active with 2D texturing on, the client arrays off and no program.
    virtual void draw(const Point3D& cameraPosition) const;
    // Draws every strip and every decoration.
    virtual void drawAll() const;

    // Height on the plane through grid points (i, j), (i + 1, j), (i, j + 1)
    // of the cell holding (x, y). At or beyond the last column (row) the
    // answer comes from the one before it; below 0 (or at a coordinate that
    // is not a number) from column (row) 0. A terrain one point wide (high)
    // has no slope that way; one without points answers 0.
    virtual float heightAt(float x, float y) const;
    // Grid points times scale: one step longer than the last point's x (y).
    virtual float getLengthX() const;
    virtual float getLengthY() const;
    virtual float getMaxHeight() const;

    // The terrain's data; the getters below are its own, for short.
    const Terrain& getTerrain() const { return terrain; }
    int32_t getGridWidth() const { return terrain.getGridWidth(); }
    int32_t getGridHeight() const { return terrain.getGridHeight(); }
    int32_t getViewRange() const { return viewRange; }
    float getScaleX() const { return terrain.getScaleX(); }
    float getScaleY() const { return terrain.getScaleY(); }
    float getHeightScale() const { return terrain.getHeightScale(); }
    float getMeshScale() const { return terrain.getMeshScale(); }
    const std::vector<Vertex>& getVertices() const { return terrain.getVertices(); }
    // unit 0 to 3
    const std::vector<Point2D>& getTexCoords(int unit) const { return terrain.getTexCoords(unit); }
    const std::vector<Point3D>& getFaceNormals() const { return terrain.getFaceNormals(); }
    // The strips as one triangle strip, strip i from entry
    // i * (2 * gridHeight + 2): its 2 * gridHeight points, column i and i + 1
    // row by row, then two entries that join it to strip i + 1 with
    // triangles of no area. 16-bit indices, counted from the first point of
    // the strip's chunk: the chunks are runs of whole strips of at most 65536
    // points each. Empty when the terrain has no strips to draw.
    const std::vector<uint16_t>& getIndices() const { return indices; }
    const std::vector<Point3D>& getObjectPositions() const { return terrain.getObjectPositions(); }
    const std::vector<float>& getObjectScales() const { return terrain.getObjectScales(); }
    // unit 0 to 3; null before loading
    const Texture2D* getTexture(int unit) const;
    const MeshZMS* getMesh() const;
    // Null when the driver offers no GLSL: the terrain then draws texture 1 only.
    const HLSLShader* getShader() const { return shader.get(); }

private:
    static std::unique_ptr<HLSLShader> buildProgram();

    // The part of the terrain one draw call submits.
    struct DrawRange {
        int32_t firstStrip = 0;
        int32_t endStrip = 0; // exclusive
        bool allDecorations = true;
        float start = 0.0f; // decorations strictly between start and end
        float end = 0.0f;
    };

    void buildIndices();
    void uploadGround();

    DrawRange rangeAround(const Point3D& cameraPosition) const;
    void drawRange(const DrawRange& range) const;
    void drawStripsWithProgram(int32_t first, int32_t end) const;
    void drawStripsWithOneTexture(int32_t first, int32_t end) const;
    // Strips first to end - 1, with the arrays enabled and the program's
    // four texture coordinates (allUnits) or texture 1's on the client unit
    // in use.
    void drawStrips(int32_t first, int32_t end, bool allUnits) const;
    void pointArrays(std::size_t firstPoint, bool allUnits) const;
    void drawDecorations(const DrawRange& range) const;

    Terrain terrain;
    // One point as drawing reads it: 56 bytes, the stride of every array.
    struct GroundPoint {
        Vertex vertex;
        std::array<Point2D, 4> texCoords;
    };

    std::vector<uint16_t> indices;
    int32_t stripsPerChunk = 0;
    // Kept only where the driver has no buffer objects: drawn from here.
    std::vector<GroundPoint> ground;
    BufferObject groundBuffer;
    BufferObject indexBuffer;
    Held<MeshZMS> mesh;
    std::unique_ptr<HLSLShader> shader;
    std::array<Held<Texture2D>, 4> textures;
    int32_t viewRange = initialViewRange;
};
