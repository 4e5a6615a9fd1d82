// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/platform.h"
#include "resources/resource.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <cstddef>
#include <cstdint>
#include <optional>

// A BMP, JPEG or PNG picture decoded by SDL_image into a surface in main
// memory, as the decoder delivered it (row 0 is the picture's top row), except
// that a grey PNG with a transparent grey value becomes R, G, B, A bytes.
// Read directly where pixels matter (fonts, height fields); textures are made
// from it. Falls back to resources/textures/standardpic.png.
class Image : public Resource {
public:
    static constexpr const char* qualifiedName = "image.Image";
    static constexpr const char* defaultFile = "resources/textures/standardpic.png";

    ~Image() override;

    void loadFile(const std::string& fileName) override;
    void loadDefault() override;
    void freeData() override;

    virtual int32_t getWidth() const;
    virtual int32_t getHeight() const;
    // The GL layout of the surface's pixel bytes as they are (GL_RGB, GL_BGR,
    // GL_RGBA, GL_BGRA), or 0 when OpenGL cannot take them without a
    // conversion (palettised, grey, 16-bit surfaces).
    virtual GLenum getFormat() const;
    // GL_RGBA when the pixels carry alpha, else GL_RGB.
    virtual GLenum getInternalFormat() const;
    // Owned by the image; null before loading and after freeData.
    virtual SDL_Surface* getSurface() const;

    // The type a file's first count bytes announce: "BM" a BMP, FF D8 FF a
    // JPEG, the eight-byte PNG signature a PNG; nothing for anything else.
    static std::optional<Platform::PictureType> typeOf(const uint8_t* bytes, std::size_t count);

private:
    int32_t width = 0;
    int32_t height = 0;
    GLenum format = 0;
    GLenum internalFormat = 0;
    SDL_Surface* surface = nullptr;
};
