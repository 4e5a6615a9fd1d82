// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "resources/meshzms.h"

#include "resources/resourcemanager.h"
#include "resources/texture2d.h"
#include "engine/tokenreader.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

// The file ended where a token belonged: the mesh keeps what was read.
struct EndOfFile {};

// Words quoted in messages are cut to this length: the "word" may be
// the rest of a binary file.
constexpr std::size_t quotedWordLength = 24;

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

void MeshZMS::loadFile(const std::string& fileName)
{
    clear();
    name = fileName;
    TokenReader reader(fileName);
    loadText(reader, [](const std::string& textureName) {
        return ResourceManager::getInstance().getResource<Texture2D>(textureName);
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
}

void MeshZMS::loadDefault()
{
    loadFile(defaultFile);
}

void MeshZMS::freeData()
{
    // Null is accepted by the manager and changes nothing.
    ResourceManager::getInstance().releaseResource(texture);
    texture = nullptr;
}

void MeshZMS::clear()
{
    freeData();
    hasParams = vertexCount = faceCount = textured = 0;
    vertices.clear();
    faces.clear();
}

void MeshZMS::draw() const
{
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    if (textured != 0)
        glBindTexture(GL_TEXTURE_2D, texture != nullptr ? texture->getId() : 0);
    else
        glDisable(GL_TEXTURE_2D);

    // The parser guarantees valid indices and, when textured, one texture
    // coordinate per corner. GL_QUADS draws nothing for fewer than 4 corners
    // and drops the corners after the last complete group of four.
    for (const Face& face : faces) {
        glBegin(face.indices.size() == 3 ? GL_TRIANGLES : GL_QUADS);
        for (std::size_t c = 0; c < face.indices.size(); ++c) {
            const Vertex& vertex = vertices[static_cast<std::size_t>(face.indices[c])];
            // A normal with every corner, also the face's own: OpenGL
            // emulations that record whole vertices need the same
            // attributes for each.
            if (face.smooth)
                glNormal3f(vertex.nx, vertex.ny, vertex.nz);
            else
                glNormal3f(face.normal.x, face.normal.y, face.normal.z);
            if (textured != 0)
                glTexCoord2f(face.texCoords[c].x, face.texCoords[c].y);
            glVertex3f(vertex.x, vertex.y, vertex.z);
        }
        glEnd();
    }

    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
}
