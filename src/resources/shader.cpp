// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <GL/glew.h>

#include "resources/shader.h"

#include <cstdio>

// glProgramStringARB takes an explicit length, so the length passed must be
// exactly that of the text: these are the sizes the programs were written with.
static_assert(Shader::vertexProgramText.size() == 987);
static_assert(Shader::fragmentProgramText.size() == 53);

namespace {

// Without the extension the entry points are not resolved; calling them would crash.
uint32_t loadProgram(GLenum target, std::string_view text, bool available, const char* extension)
{
    if (!available) {
        std::printf("src/shader: %s is not available\n", extension);
        return 0;
    }
    GLuint program = 0;
    glGenProgramsARB(1, &program);
    glBindProgramARB(target, program);
    glProgramStringARB(target, GL_PROGRAM_FORMAT_ASCII_ARB, static_cast<GLsizei>(text.size()), text.data());
    return program;
}

} // namespace

void Shader::init()
{
    vertexProgram =
        loadProgram(GL_VERTEX_PROGRAM_ARB, vertexProgramText, GLEW_ARB_vertex_program, "GL_ARB_vertex_program");
    fragmentProgram =
        loadProgram(GL_FRAGMENT_PROGRAM_ARB, fragmentProgramText, GLEW_ARB_fragment_program, "GL_ARB_fragment_program");
    if (!GLEW_ARB_vertex_program && !GLEW_ARB_fragment_program)
        return;

    GLint errorPosition = -1;
    glGetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, &errorPosition);
    if (errorPosition != -1) {
        // A driver may give no error text at all; print an empty one then.
        const auto* errorText = reinterpret_cast<const char*>(glGetString(GL_PROGRAM_ERROR_STRING_ARB));
        std::printf("%d %s\n", errorPosition, errorText != nullptr ? errorText : "");
        std::fflush(stdout);
    }
}

void Shader::enableVertexProgram()
{
    glEnable(GL_VERTEX_PROGRAM_ARB);
}

void Shader::disableVertexProgram()
{
    glDisable(GL_VERTEX_PROGRAM_ARB);
}

void Shader::enableFragmentProgram()
{
    glEnable(GL_FRAGMENT_PROGRAM_ARB);
}

void Shader::disableFragmentProgram()
{
    glDisable(GL_FRAGMENT_PROGRAM_ARB);
}

void Shader::release() {}
