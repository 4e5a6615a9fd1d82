// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <GL/glew.h>

#include "resources/meshzms.h"

#include "resources/resourcemanager.h"
#include "resources/texture2d.h"
#include "engine/tokenreader.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>

namespace {

// The file ended where a token belonged: the mesh keeps what was read.
struct EndOfFile {};

// Words quoted in messages are cut to this length: the "word" may be
// the rest of a binary file.
constexpr std::size_t quotedWordLength = 24;

// The corners of a quad's two triangles. Split along the diagonal from the
// first corner to the third, as Mesa rasterises GL_QUADS (and as WebGL
// emulations do): the colours interpolated across a lit quad depend on it.
constexpr std::size_t quadCorners[] = {0, 1, 2, 0, 2, 3};

} // namespace

// Reads one file into a cleared mesh. Validation happens as the tokens
// arrive, so nothing is ever stored that would have to be checked later.
class MeshZMS::Parser {
public:
    Parser(MeshZMS& mesh, TokenReader& reader, const TextureLoader& loadTexture)
        : mesh(mesh), reader(reader), loadTexture(loadTexture)
    {
    }

    void parse()
    {
        try {
            readHeader();
        } catch (const EndOfFile&) {
            sizeArrays();
            return;
        }
        sizeArrays();
        try {
            readTexture();
            readParameters();
            readVertices();
            readFaces();
        } catch (const EndOfFile&) {}
        // Whatever follows the last face is ignored; the whole file is
        // already in memory, so there is nothing left to consume.
    }

private:
    [[noreturn]] void reject(const std::string& problem) const
    {
        throw UnloadableResourceException("src/meshzms: Cannot load Resource " + reader.getFileName() + ". " + problem +
                                          ".");
    }

    // A read that found no digits is either the end of the file or a word.
    void checkNumber(const std::string& where)
    {
        if (reader.lastNumberFound())
            return;
        if (reader.atEnd())
            throw EndOfFile{};
        reject("Expected a number in " + where + ", found '" + reader.readString().substr(0, quotedWordLength) + "'");
    }

    int32_t readInt(const std::string& where)
    {
        const int32_t value = reader.readInt();
        checkNumber(where);
        return value;
    }

    // Leaves `target` untouched when the file ends first.
    void readFloat(float& target, const std::string& where)
    {
        const float value = reader.readFloat();
        checkNumber(where);
        target = value;
    }

    void readHeader()
    {
        mesh.hasParams = readInt("the header");
        mesh.vertexCount = readInt("the header");
        mesh.faceCount = readInt("the header");
        mesh.textured = readInt("the header");
    }

    // Every record takes at least one byte, so a header may not promise more
    // records than the file has bytes: the arrays never outgrow the file by
    // more than a constant factor, however large the counts claim to be.
    void sizeArrays()
    {
        if (mesh.vertexCount < 0)
            reject("Negative vertex count " + std::to_string(mesh.vertexCount));
        if (mesh.faceCount < 0)
            reject("Negative face count " + std::to_string(mesh.faceCount));
        const uint64_t records = static_cast<uint64_t>(mesh.vertexCount) + static_cast<uint64_t>(mesh.faceCount);
        if (records > reader.getSize())
            reject(std::to_string(mesh.vertexCount) + " vertices and " + std::to_string(mesh.faceCount) +
                   " faces cannot fit in a file of " + std::to_string(reader.getSize()) + " bytes");
        mesh.vertices.resize(static_cast<std::size_t>(mesh.vertexCount));
        mesh.faces.resize(static_cast<std::size_t>(mesh.faceCount));
    }

    void readTexture()
    {
        if (mesh.textured == 0)
            return;
        const std::string textureName = reader.readString();
        if (textureName.empty())
            throw EndOfFile{};
        mesh.texture = loadTexture(textureName);
    }

    void readParameters()
    {
        if (mesh.hasParams == 0)
            return;
        float unused = 0.0f;
        for (int i = 0; i < 5; ++i)
            readFloat(unused, "the parameter line");
    }

    void readVertices()
    {
        for (std::size_t i = 0; i < mesh.vertices.size(); ++i) {
            Vertex& vertex = mesh.vertices[i];
            const std::string where = "vertex " + std::to_string(i);
            for (float* field : {&vertex.nx, &vertex.ny, &vertex.nz, &vertex.x, &vertex.y, &vertex.z})
                readFloat(*field, where);
        }
    }

    void readFaces()
    {
        for (std::size_t f = 0; f < mesh.faces.size(); ++f)
            readFace(mesh.faces[f], f);
    }

    // A corner is stored only once it is complete, so an unfinished face
    // never has an index without its texture coordinate. Faces that are
    // neither triangles nor quads are kept as they are: drawing them as
    // quads shows what GL makes of them, and the rest of the mesh stays.
    void readFace(Face& face, std::size_t number)
    {
        const std::string where = "face " + std::to_string(number);
        face.smooth = readInt(where) != 0;
        readFloat(face.normal.x, where);
        readFloat(face.normal.y, where);
        readFloat(face.normal.z, where);
        const int32_t cornerCount = readInt(where);
        if (cornerCount < 0)
            reject("Negative corner count " + std::to_string(cornerCount) + " in face " + std::to_string(number));
        // Every corner takes at least one byte: a count beyond the rest of
        // the file reads up to its end, and reserves no more than that.
        face.indices.reserve(
            std::min(static_cast<std::size_t>(cornerCount), reader.getSize() - reader.getPosition()));
        for (int32_t c = 0; c < cornerCount; ++c) {
            const int32_t index = readInt(where);
            if (index < 0 || index >= mesh.vertexCount)
                reject("Face " + std::to_string(number) + " uses vertex " + std::to_string(index) + " of " +
                       std::to_string(mesh.vertexCount));
            Point2D texCoord;
            if (mesh.textured != 0) {
                readFloat(texCoord.x, where);
                readFloat(texCoord.y, where);
            }
            face.indices.push_back(index);
            if (mesh.textured != 0)
                face.texCoords.push_back(texCoord);
        }
    }

    MeshZMS& mesh;
    TokenReader& reader;
    const TextureLoader& loadTexture;
};

MeshZMS::MeshZMS() : triangleBuffer(GL_ARRAY_BUFFER) {}

void MeshZMS::loadFile(const std::string& fileName)
{
    clear();
    name = fileName;
    TokenReader reader(fileName);
    loadText(reader, [](const std::string& textureName) {
        return Held<Texture2D>(textureName);
    });
}

void MeshZMS::loadText(TokenReader& reader, const TextureLoader& loadTexture)
{
    clear();
    name = reader.getFileName();
    try {
        Parser(*this, reader, loadTexture).parse();
    } catch (...) {
        // A rejected file leaves no half-read mesh and no texture hold behind.
        clear();
        throw;
    }
    buildTriangles();
}

// What GL_TRIANGLES and GL_QUADS make of the faces, one begin/end pair each:
// a face of 3 corners is a triangle; one of 4 or more is a quad for every
// whole group of four corners, the rest dropped; fewer than 3 make nothing.
// A flat face carries its own normal at every corner, a smooth one the
// vertices' normals.
void MeshZMS::buildTriangles()
{
    triangles.clear();
    const auto cornerOf = [this](const Face& face, std::size_t c) {
        const Vertex& vertex = vertices[static_cast<std::size_t>(face.indices[c])];
        MeshCorner corner;
        corner.x = vertex.x;
        corner.y = vertex.y;
        corner.z = vertex.z;
        const Point3D normal = face.smooth ? Point3D(vertex.nx, vertex.ny, vertex.nz) : face.normal;
        corner.nx = normal.x;
        corner.ny = normal.y;
        corner.nz = normal.z;
        if (textured != 0) {
            corner.u = face.texCoords[c].x;
            corner.v = face.texCoords[c].y;
        }
        return corner;
    };
    for (const Face& face : faces) {
        const std::size_t count = face.indices.size();
        if (count == 3) {
            for (std::size_t c = 0; c < 3; ++c)
                triangles.push_back(cornerOf(face, c));
            continue;
        }
        for (std::size_t first = 0; first + 4 <= count; first += 4)
            for (const std::size_t c : quadCorners)
                triangles.push_back(cornerOf(face, first + c));
    }
    // glDrawArrays counts in GLsizei: a mesh beyond that draws its first
    // 715 million triangles.
    triangles.resize(std::min<std::size_t>(triangles.size(), INT_MAX / 3 * 3));
    triangleBuffer.upload(triangles.data(), triangles.size() * sizeof(MeshCorner));
}

void MeshZMS::loadDefault()
{
    loadFile(defaultFile);
}

void MeshZMS::freeData()
{
    texture.reset();
    triangleBuffer.release();
}

const Texture2D* MeshZMS::getTexture() const
{
    return texture.get();
}

void MeshZMS::clear()
{
    freeData();
    hasParams = vertexCount = faceCount = textured = 0;
    vertices.clear();
    faces.clear();
    triangles.clear();
}

void MeshZMS::draw() const
{
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    if (textured != 0)
        glBindTexture(GL_TEXTURE_2D, texture ? texture->getId() : 0);
    else
        glDisable(GL_TEXTURE_2D);

    if (!triangles.empty()) {
        triangleBuffer.bind();
        const auto at = [this](std::size_t offset) { return triangleBuffer.at(triangles.data(), offset); };
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glVertexPointer(3, GL_FLOAT, sizeof(MeshCorner), at(offsetof(MeshCorner, x)));
        glNormalPointer(GL_FLOAT, sizeof(MeshCorner), at(offsetof(MeshCorner, nx)));
        if (textured != 0) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, sizeof(MeshCorner), at(offsetof(MeshCorner, u)));
        }
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(triangles.size()));
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        triangleBuffer.unbind();
    }

    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
}
