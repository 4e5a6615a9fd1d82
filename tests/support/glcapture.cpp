// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "glcapture.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

std::vector<FeedbackPrimitive> captureFeedback(const std::function<void()>& draw, std::size_t capacityFloats)
{
    std::vector<GLfloat> buffer(capacityFloats);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    if (used < 0)
        throw std::runtime_error("feedback buffer overflow: raise capacityFloats");

    constexpr std::size_t floatsPerVertex = sizeof(FeedbackVertex) / sizeof(float);
    const auto end = static_cast<std::size_t>(used);
    std::vector<FeedbackPrimitive> primitives;
    for (std::size_t at = 0; at < end;) {
        const auto token = static_cast<GLenum>(buffer[at++]);
        std::size_t count = 1; // points
        if (token == GL_POLYGON_TOKEN)
            count = at < end ? static_cast<std::size_t>(buffer[at++]) : end; // no count: reported as truncated
        else if (token != GL_POINT_TOKEN)
            throw std::runtime_error("feedback token the tests do not draw");
        if (at + count * floatsPerVertex > end)
            throw std::runtime_error("truncated feedback buffer");
        // FeedbackVertex is eleven floats in the order GL_3D_COLOR_TEXTURE writes them.
        primitives.push_back({token, std::vector<FeedbackVertex>(count)});
        std::memcpy(primitives.back().vertices.data(), &buffer[at], count * sizeof(FeedbackVertex));
        at += count * floatsPerVertex;
    }
    return primitives;
}

Corners cornersOf(const std::vector<FeedbackPrimitive>& primitives)
{
    Corners corners;
    for (const FeedbackPrimitive& primitive : primitives)
        for (const FeedbackVertex& v : primitive.vertices)
            corners.insert({std::lround(v.x), std::lround(v.y), std::lround(v.s * 1000), std::lround(v.t * 1000)});
    return corners;
}

std::vector<Rgba> readPixels(int x, int y, int width, int height)
{
    std::vector<Rgba> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    // The buffer being drawn into: GL_BACK in a double-buffered window, but a
    // framebuffer object's colour attachment where the SDL runtime draws into
    // one (sdl12-compat), and there GL refuses GL_BACK.
    GLint drawBuffer = GL_BACK;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    glReadBuffer(static_cast<GLenum>(drawBuffer));
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

Rgba pixelAt(int x, int y)
{
    return readPixels(x, y, 1, 1).front();
}

std::vector<Rgba> textureTexels(GLuint texture, int* width, int* height)
{
    GLint w = 0, h = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    std::vector<Rgba> texels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glPopClientAttrib();
    if (width != nullptr)
        *width = w;
    if (height != nullptr)
        *height = h;
    return texels;
}

GLint glInteger(GLenum name)
{
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

std::array<float, 16> currentMatrix(GLenum which)
{
    std::array<float, 16> matrix{};
    glGetFloatv(which == GL_PROJECTION ? GL_PROJECTION_MATRIX : GL_MODELVIEW_MATRIX, matrix.data());
    return matrix;
}
