// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>

// Geometry handed to OpenGL once: a buffer object (OpenGL 1.5) holding a copy
// of the caller's bytes, so that drawing sends no vertices. A driver without
// buffer objects draws from the caller's bytes instead, as client-side arrays,
// so the caller keeps them for as long as it draws.
//
//     buffer.bind();
//     glVertexPointer(3, GL_FLOAT, stride, buffer.at(vertices.data(), offsetof(...)));
//     glDrawArrays(...);
//     buffer.unbind();
//
// Browsers (WebGL through Emscripten's emulation) need every array of one
// draw interleaved in one buffer with one stride; the game's callers keep to
// that on every platform.
class BufferObject {
public:
    // GL_ARRAY_BUFFER for vertices, GL_ELEMENT_ARRAY_BUFFER for indices.
    explicit BufferObject(unsigned int target) : target(target) {}
    ~BufferObject() { release(); }
    BufferObject(const BufferObject&) = delete;
    BufferObject& operator=(const BufferObject&) = delete;

    // Replaces the buffer with a copy of `bytes` bytes from data; keeps no
    // buffer where the driver has none, or for no bytes. Needs the GL context.
    void upload(const void* data, std::size_t bytes);
    // Deletes the buffer; draws come from the caller's bytes again.
    void release();
    bool isUploaded() const { return id != 0; }

    // Makes the buffer the one that gl*Pointer (GL_ARRAY_BUFFER) or
    // glDrawElements (GL_ELEMENT_ARRAY_BUFFER) read from.
    void bind() const;
    // Binds no buffer of this kind: client-side arrays and immediate mode
    // work as before.
    void unbind() const;
    // The address that those calls take for byte `offset` of the buffer
    // while it is bound: the offset itself, or the byte of the caller's own
    // copy, clientData, where there is no buffer.
    const void* at(const void* clientData, std::size_t offset) const;

private:
    // A GLenum and a GLuint: the header stays free of the GL headers, whose
    // order (GLEW before gl.h) is the including file's business.
    unsigned int target;
    unsigned int id = 0;
};
