// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "backbuffer.h"

#include "engine/renderer.h"

#include <GL/gl.h>
#include <png.h>

#include <stdexcept>
#include <vector>

void saveFramePng(const std::string& file, int x, int y, int width, int height)
{
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    // The buffer being drawn into: the back buffer of a double-buffered
    // window, but sdl12-compat draws into a framebuffer object of its own,
    // where GL refuses GL_BACK.
    GLint drawBuffer = GL_BACK;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    glReadBuffer(static_cast<GLenum>(drawBuffer));
    glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    // A negative row stride writes GL's bottom-up rows top-down.
    if (!png_image_write_to_file(&image, file.c_str(), 0, pixels.data(), -width * 3, nullptr))
        throw std::runtime_error("cannot write " + file + ": " + image.message);
}

void saveBackBufferPng(const std::string& file)
{
    const int width = static_cast<int>(Renderer::getInstance().getWidth());
    const int height = static_cast<int>(Renderer::getInstance().getHeight());
    saveFramePng(file, 0, 0, width, height);
}
