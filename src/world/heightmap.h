// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/point.h"
#include "resources/bufferobject.h"
#include "resources/resource.h"
#include "engine/vertex.h"

#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

class HLSLShader;
class MeshZMS;
class Texture2D;
class TokenReader;
struct SDL_Surface;

// A terrain: a regular grid whose heights come from the red channel of an
// image, textured with up to four textures, lit by per-vertex normals and
// dotted with copies of one decoration mesh where the image's green channel
// says so. Grid point (i, j) is pixel (column i, row j) and stands at
// (i * scaleX, j * scaleY, red * heightScale).
//
// The description file holds four records of whitespace-separated tokens:
//     heightImage scaleX scaleY heightScale
//     texture0 texture1 texture2 texture3
//     repeat1 repeat2 repeat3
//     decorationMesh meshScale
// Missing numbers stay NaN and missing names empty (the images and the mesh
// then come from their defaults). A pixel with green above 25 carries a
// decoration scaled by green * heightScale * meshScale.
//
// Per-point arrays are column-major (index i * gridHeight + j). Drawing
// uses a copy made at load time: every point's position, normal and four
// texture coordinates interleaved in one buffer object, and the strips'
// indices in another, so that a frame sends only a few draw calls. A terrain whose scaleX or
// scaleY is 0, or whose scaleX, scaleY or heightScale is not a finite number,
// has no usable geometry: it draws only its decorations, and its queries
// still give defined answers. A heightScale of 0 is flat ground and draws.
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

    int32_t getGridWidth() const { return gridWidth; }
    int32_t getGridHeight() const { return gridHeight; }
    int32_t getViewRange() const { return viewRange; }
    float getScaleX() const { return scaleX; }
    float getScaleY() const { return scaleY; }
    float getHeightScale() const { return heightScale; }
    float getMeshScale() const { return meshScale; }
    const std::vector<Vertex>& getVertices() const { return vertices; }
    // unit 0 to 3
    const std::vector<Point2D>& getTexCoords(int unit) const;
    const std::vector<Point3D>& getFaceNormals() const { return faceNormals; }
    // The strips as one triangle strip, strip i from entry
    // i * (2 * gridHeight + 2): its 2 * gridHeight points, column i and i + 1
    // row by row, then two entries that join it to strip i + 1 with
    // triangles of no area. 16-bit indices, counted from the first point of
    // the strip's chunk: the chunks are runs of whole strips of at most 65536
    // points each. Empty when the terrain has no strips to draw.
    const std::vector<uint16_t>& getIndices() const { return indices; }
    const std::vector<Point3D>& getObjectPositions() const { return objectPositions; }
    const std::vector<float>& getObjectScales() const { return objectScales; }
    // unit 0 to 3; null before loading
    const Texture2D* getTexture(int unit) const;
    const MeshZMS* getMesh() const { return mesh; }
    // Null when the driver offers no GLSL: the terrain then draws texture 1 only.
    const HLSLShader* getShader() const { return shader.get(); }

private:
    static std::unique_ptr<HLSLShader> buildProgram();
    static constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();

    // The part of the terrain one draw call submits.
    struct DrawRange {
        int32_t firstStrip = 0;
        int32_t endStrip = 0; // exclusive
        bool allDecorations = true;
        float start = 0.0f; // decorations strictly between start and end
        float end = 0.0f;
    };

    void buildGrid(const SDL_Surface& surface);
    void buildNormals();
    void buildIndices();
    void uploadGround();
    void placeDecorations(const SDL_Surface& surface);

    bool hasGeometry() const;
    int32_t stripCount() const;
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
    float heightOf(int32_t i, int32_t j) const;

    std::string heightImageName;
    std::array<std::string, 4> textureNames;
    std::string meshName;
    float scaleX = notANumber;
    float scaleY = notANumber;
    float heightScale = notANumber;
    float meshScale = notANumber;
    std::array<float, 3> repeats = {notANumber, notANumber, notANumber}; // textures 1 to 3
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
    std::vector<Vertex> vertices;
    std::array<std::vector<Point2D>, 4> texCoords;
    std::vector<Point3D> faceNormals;
    std::vector<Point3D> objectPositions;
    std::vector<float> objectScales;
    MeshZMS* mesh = nullptr;
    std::unique_ptr<HLSLShader> shader;
    std::array<Texture2D*, 4> textures = {nullptr, nullptr, nullptr, nullptr};
    int32_t gridWidth = 0;
    int32_t gridHeight = 0;
    int32_t viewRange = initialViewRange;
};
