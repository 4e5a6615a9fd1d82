// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "resources/resource.h"

#include <cstdint>
#include <string>

class TokenReader;

// A GLSL program object built through ARB_shader_objects from a vertex and a
// fragment source file, with the samplers "tex0" to "tex3" bound to texture
// units 0 to 3. Created directly by its owner, not through the manager; the
// owner calls unload() and destroys it.
//
// Without ARB_shader_objects nothing can be built: loadShaders fails as if
// the first shader object could not be created, and bind, unbind and unload
// do nothing.
class HLSLShader : public Resource {
public:
    static constexpr const char* qualifiedName = "hlslshader.HLSLShader";

    // Leaves no program current, then deletes the program.
    void unload() override;

    // An empty file name skips that stage; both empty build nothing. Throws
    // std::runtime_error with a fixed message when a shader object cannot be
    // created, does not compile, or the program does not link (the GL
    // information log goes to standard output); the program made so far stays.
    // An unreadable file throws the token reader's open error.
    virtual void loadShaders(const std::string& vertexFile, const std::string& fragmentFile);
    virtual void bind() const;
    virtual void unbind() const;

    // The file's lines, each ending in a line feed (CR LF and CR become LF,
    // a missing last terminator is added).
    std::string readSource(const std::string& fileName) const;
    // The same for the text the reader has left.
    static std::string sourceText(TokenReader& reader);

    // The GL handle of the program object; 0 until loadShaders makes one.
    uint32_t getProgram() const { return program; }

private:
    void compileAndAttach(uint32_t type, const std::string& fileName, const char* stageName);
    void setSamplers() const;

    uint32_t program = 0;
};
