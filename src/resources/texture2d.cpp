// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "resources/texture2d.h"

#include "resources/image.h"
#include "platform/platform.h"
#include "resources/resourcemanager.h"
#include "resources/surfacepixels.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace {

// Pixels in a form glTexImage2D takes, with the unpack state that describes them.
struct Upload {
    GLenum format = GL_RGBA;
    const void* surfacePixels = nullptr; // used when nothing was converted
    GLint alignment = 1;
    GLint rowLength = 0;
    std::vector<uint8_t> converted;

    const void* pixels() const { return converted.empty() ? surfacePixels : converted.data(); }
};

// Tightly packed R,G,B,A bytes of any SDL surface, read through its own pixel
// format; colour-keyed pixels get alpha 0.
void convertToRgba(const SDL_Surface& surface, Upload& upload)
{
    const SDL_PixelFormat& pixel = *surface.format;
    const std::optional<Uint32> key = Platform::colorKey(surface);
    upload.converted.resize(static_cast<std::size_t>(surface.w) * static_cast<std::size_t>(surface.h) * 4);
    uint8_t* out = upload.converted.data();
    for (int y = 0; y < surface.h; ++y) {
        const auto* row = static_cast<const uint8_t*>(surface.pixels) + static_cast<std::ptrdiff_t>(y) * surface.pitch;
        for (int x = 0; x < surface.w; ++x, out += 4) {
            const Uint32 value = rawPixelValue(row + x * pixel.BytesPerPixel, pixel.BytesPerPixel);
            SDL_GetRGBA(value, const_cast<SDL_PixelFormat*>(&pixel), &out[0], &out[1], &out[2], &out[3]);
            if (key && value == *key)
                out[3] = 0;
        }
    }
    upload.format = GL_RGBA;
    upload.alignment = 1;
    upload.rowLength = 0;
}

// The surface as it is when GL can read its layout and rows, else a converted copy.
Upload prepareUpload(const Image& image)
{
    Upload upload;
    const SDL_Surface& surface = *image.getSurface();
    const int bytes = surface.format->BytesPerPixel;
    const int rowBytes = surface.w * bytes;
    const bool keyed = Platform::colorKey(surface).has_value();
    if (image.getFormat() == 0 || keyed || surface.pitch < rowBytes) {
        convertToRgba(surface, upload);
        return upload;
    }
    upload.format = image.getFormat();
    upload.surfacePixels = surface.pixels;
    if (surface.pitch % bytes == 0) {
        upload.rowLength = surface.pitch / bytes; // rows padded by whole pixels, or not at all
        return upload;
    }
    for (GLint alignment : {2, 4, 8})
        if ((rowBytes + alignment - 1) / alignment * alignment == surface.pitch)
            upload.alignment = alignment;
    if (upload.alignment == 1) // padding that GL cannot describe
        convertToRgba(surface, upload);
    return upload;
}

} // namespace

void Texture2D::loadFile(const std::string& fileName)
{
    name = fileName;
    const Held<Image> image(fileName);
    if (image->getName() != fileName)
        name = image->getName();

    glGenTextures(1, &textureId);
    glBindTexture(GL_TEXTURE_2D, textureId);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);

    if (image->getSurface()) {
        const Upload upload = prepareUpload(*image);
        Platform::uploadTexture(image->getInternalFormat(), image->getWidth(), image->getHeight(), upload.format,
                                upload.pixels(), upload.alignment, upload.rowLength);
    }
}

void Texture2D::freeData()
{
    if (textureId != 0) {
        glDeleteTextures(1, &textureId);
        textureId = 0;
    }
}

GLuint Texture2D::getId() const
{
    return textureId;
}
