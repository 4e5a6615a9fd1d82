// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// ZMS meshes: a mesh the parser accepts is safe to draw.

#include "fuzzinput.h"
#include "resources/meshzms.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    TokenReader reader = readerOf(data, size, "resources/meshes/fuzz.zms");
    MeshZMS mesh;
    try {
        mesh.loadText(reader, [](const std::string&) { return Held<Texture2D>(); });
    } catch (const UnloadableResourceException&) {
        FUZZ_CHECK(mesh.getVertices().empty() && mesh.getFaces().empty());
        return 0;
    }
    // What draw() relies on: every index names a vertex, and a textured
    // face has a coordinate for each corner.
    const auto vertexCount = mesh.getVertices().size();
    FUZZ_CHECK(vertexCount == static_cast<std::size_t>(mesh.getVertexCount()));
    for (const Face& face : mesh.getFaces()) {
        for (const int32_t index : face.indices)
            FUZZ_CHECK(index >= 0 && static_cast<std::size_t>(index) < vertexCount);
        FUZZ_CHECK(mesh.getTextured() == 0 ? face.texCoords.empty() : face.texCoords.size() == face.indices.size());
    }
    return 0;
}
