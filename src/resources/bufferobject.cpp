// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <GL/glew.h>

#include "resources/bufferobject.h"

#include <cstdint>

namespace {

// GLEW knows once the renderer has started; before that (and in programs
// without a window) nothing is uploaded and the client-side path draws.
bool haveBufferObjects()
{
    return GLEW_VERSION_1_5;
}

} // namespace

void BufferObject::upload(const void* data, std::size_t bytes)
{
    release();
    if (bytes == 0 || !haveBufferObjects())
        return;
    glGenBuffers(1, &id);
    glBindBuffer(target, id);
    glBufferData(target, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
    glBindBuffer(target, 0);
}

void BufferObject::release()
{
    if (id != 0)
        glDeleteBuffers(1, &id);
    id = 0;
}

void BufferObject::bind() const
{
    if (id != 0)
        glBindBuffer(target, id);
}

void BufferObject::unbind() const
{
    if (id != 0)
        glBindBuffer(target, 0);
}

const void* BufferObject::at(const void* clientData, std::size_t offset) const
{
    // OpenGL takes an offset into a bound buffer in a pointer's clothes.
    if (id != 0)
        return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(offset));
    return static_cast<const char*>(clientData) + offset;
}
