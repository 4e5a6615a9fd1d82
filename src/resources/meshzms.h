// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "resources/bufferobject.h"
#include "engine/face.h"
#include "resources/resource.h"
#include "resources/resourcemanager.h"
#include "engine/vertex.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class Texture2D;
class TokenReader;

// One corner of the triangles a mesh draws: position, normal (the face's own
// or the vertex's) and texture coordinate (0, 0 in an untextured mesh).
struct MeshCorner {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float nx = 0.0f, ny = 0.0f, nz = 0.0f;
    float u = 0.0f, v = 0.0f;
};

// A polygon mesh read from a ZMS file: a header of four integers (hasParams,
// vertexCount, faceCount, textured), the texture file name when textured,
// five unused floats when hasParams, then the vertex records (normal first,
// position second) and the face records (smooth flag, normal, corner count,
// corners; a textured corner carries u and v after its index).
//
// A file that ends early keeps what was read; unread vertices stay NaN and
// an unfinished face keeps only its complete corners. Every face is kept
// with all its corners and drawn as GL_QUADS draws it: a face of 3 corners
// is a triangle, one of fewer than 3 nothing, any other one quad per whole
// group of four corners (one of 5 to 7 corners its first four). A malformed file (a negative count,
// more records than its size can hold, an index outside the vertex array, a
// word where a number belongs) is rejected with an
// UnloadableResourceException, so the default mesh takes its place. Hence
// every stored index is valid and, in a textured mesh, every face has as
// many texture coordinates as corners.
class MeshZMS : public Resource {
public:
    MeshZMS();

    static constexpr const char* qualifiedName = "meshzms.MeshZMS";
    static constexpr const char* defaultFile = "resources/meshes/defaultmesh.zms";

    // Gives the texture a textured mesh names (a hold from the manager in
    // loadFile); may answer an empty handle.
    using TextureLoader = std::function<Held<Texture2D>(const std::string& textureName)>;

    void loadFile(const std::string& fileName) override;
    // loadFile after the opening: the mesh from the reader's text, named
    // after the reader's file, with the same rejections.
    void loadText(TokenReader& reader, const TextureLoader& loadTexture);
    void loadDefault() override;
    // Gives the texture back to the manager.
    void freeData() override;

    // Draws at the current model-view transform with GL lighting and light 0,
    // every face in file order, in one draw call: the faces are turned into
    // triangles once, when the mesh is read, and kept in a buffer object. A
    // textured mesh binds its texture (the caller enables texturing); an
    // untextured one leaves texturing disabled.
    virtual void draw() const;

    int32_t getHasParams() const { return hasParams; }
    int32_t getVertexCount() const { return vertexCount; }
    int32_t getFaceCount() const { return faceCount; }
    int32_t getTextured() const { return textured; }
    // The faces as triangles, three corners each, in the order draw() sends them.
    const std::vector<MeshCorner>& getTriangles() const { return triangles; }
    // Null for an untextured mesh.
    const Texture2D* getTexture() const;
    const std::vector<Vertex>& getVertices() const { return vertices; }
    const std::vector<Face>& getFaces() const { return faces; }

private:
    class Parser;
    void clear();
    void buildTriangles();

    int32_t hasParams = 0;
    int32_t vertexCount = 0;
    int32_t faceCount = 0;
    int32_t textured = 0;
    Held<Texture2D> texture;
    std::vector<Vertex> vertices;
    std::vector<Face> faces;
    std::vector<MeshCorner> triangles;
    BufferObject triangleBuffer;
};
