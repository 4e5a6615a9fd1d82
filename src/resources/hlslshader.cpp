// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <GL/glew.h>

#include "resources/hlslshader.h"

#include "engine/tokenreader.h"

#include <algorithm>
#include <iostream>
#include <stdexcept>
#include <type_traits>
#include <vector>

static_assert(std::is_same_v<GLhandleARB, uint32_t>, "GL handles are kept as 32-bit unsigned integers");

namespace {

bool shaderObjectsAvailable()
{
    return GLEW_ARB_shader_objects != 0;
}

[[noreturn]] void fail(const std::string& what)
{
    throw std::runtime_error("src/hlslshader: HLSLShader error: " + what);
}

// Writes the object's information log, if the driver left one. The buffer is
// sized from the driver's own length query and the text taken with the
// length the driver reports back, clamped to the buffer.
void printInfoLog(GLhandleARB object)
{
    GLint length = 0;
    glGetObjectParameterivARB(object, GL_OBJECT_INFO_LOG_LENGTH_ARB, &length);
    if (length <= 1)
        return;
    std::vector<GLcharARB> log(static_cast<std::size_t>(length));
    GLsizei written = 0;
    glGetInfoLogARB(object, length, &written, log.data());
    const std::size_t size = written < 0 ? 0 : std::min(static_cast<std::size_t>(written), log.size() - 1);
    std::cout << "src/hlslshader: " << std::string(log.data(), size) << std::endl;
}

} // namespace

std::string HLSLShader::readSource(const std::string& fileName) const
{
    TokenReader reader(fileName);
    return sourceText(reader);
}

std::string HLSLShader::sourceText(TokenReader& reader)
{
    std::string source;
    while (!reader.atEnd())
        source += reader.readLine() + '\n';
    return source;
}

void HLSLShader::compileAndAttach(uint32_t type, const std::string& fileName, const char* stageName)
{
    if (program == 0)
        program = glCreateProgramObjectARB();
    const std::string source = readSource(fileName);
    const GLhandleARB shader = glCreateShaderObjectARB(type);
    if (shader == 0)
        fail(std::string("cannot create ") + stageName + " Shader.");
    const GLcharARB* text = source.c_str();
    glShaderSourceARB(shader, 1, &text, nullptr);
    glCompileShaderARB(shader);
    GLint compiled = 0;
    glGetObjectParameterivARB(shader, GL_OBJECT_COMPILE_STATUS_ARB, &compiled);
    if (compiled == 0) {
        printInfoLog(shader);
        glDeleteObjectARB(shader); // never attached, so nothing else would free it
        fail(std::string("There is an error in the '") + stageName + "' Shader Source.");
    }
    glAttachObjectARB(program, shader);
    // The program keeps the attached shader alive.
    glDeleteObjectARB(shader);
}

void HLSLShader::loadShaders(const std::string& vertexFile, const std::string& fragmentFile)
{
    if (!shaderObjectsAvailable()) {
        // The entry points are not even resolved: calling them would crash.
        if (!vertexFile.empty())
            fail("cannot create Vertex Shader.");
        if (!fragmentFile.empty())
            fail("cannot create Fragment Shader.");
        return;
    }
    if (!vertexFile.empty())
        compileAndAttach(GL_VERTEX_SHADER_ARB, vertexFile, "Vertex");
    if (!fragmentFile.empty())
        compileAndAttach(GL_FRAGMENT_SHADER_ARB, fragmentFile, "Fragment");
    if (!vertexFile.empty() || !fragmentFile.empty()) {
        glLinkProgramARB(program);
        GLint linked = 0;
        glGetObjectParameterivARB(program, GL_OBJECT_LINK_STATUS_ARB, &linked);
        if (linked == 0) {
            printInfoLog(program);
            fail("It was not possible to Link the Shader Program.");
        }
    }
    // Without a program the look-ups could only raise GL errors.
    if (program != 0)
        setSamplers();
}

void HLSLShader::setSamplers() const
{
    static const char* const samplers[] = {"tex0", "tex1", "tex2", "tex3"};
    glUseProgramObjectARB(program);
    for (GLint unit = 0; unit < 4; ++unit) {
        // Location -1 (a sampler the program does not use) is ignored by GL.
        glUniform1iARB(glGetUniformLocationARB(program, samplers[unit]), unit);
    }
    glUseProgramObjectARB(0);
}

void HLSLShader::bind() const
{
    if (shaderObjectsAvailable())
        glUseProgramObjectARB(program);
}

void HLSLShader::unbind() const
{
    if (shaderObjectsAvailable())
        glUseProgramObjectARB(0);
}

void HLSLShader::unload()
{
    if (!shaderObjectsAvailable())
        return;
    glUseProgramObjectARB(0);
    if (program != 0)
        glDeleteObjectARB(program);
    program = 0;
}
