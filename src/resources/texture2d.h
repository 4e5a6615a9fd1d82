// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "resources/resource.h"

#include <GL/gl.h>

// An OpenGL texture made from the Image of the same file, which it obtains
// through the manager and gives back at once. No default file of its own:
// a missing file shows the image's default picture and takes its name.
class Texture2D : public Resource {
public:
    static constexpr const char* qualifiedName = "texture2d.Texture2D";

    // Leaves the new texture bound to GL_TEXTURE_2D, with linear filtering
    // and the texture environment set to GL_MODULATE.
    void loadFile(const std::string& fileName) override;
    void freeData() override;

    // 0 when no texture could be made.
    virtual GLuint getId() const;

private:
    GLuint textureId = 0;
};
