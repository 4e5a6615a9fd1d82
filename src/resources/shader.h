// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string_view>

// A fixed pair of ARB assembly programs: a vertex program lighting each
// vertex with light 0 and the material, and a fragment program passing the
// interpolated colour through. Loaded once by init(); never deleted.
class Shader {
public:
    static constexpr std::string_view vertexProgramText = "!!ARBvp1.0"
                                                          "ATTRIB iPos = vertex.position;"
                                                          "ATTRIB iNormal = vertex.normal;"
                                                          "PARAM mvinv[4] = { state.matrix.modelview.invtrans };"
                                                          "PARAM mvp[4] = { state.matrix.mvp };"
                                                          "PARAM lightDir = state.light[0].position;"
                                                          "PARAM halfDir = state.light[0].half;"
                                                          "PARAM specExp = state.material.shininess;"
                                                          "PARAM ambientCol = state.lightprod[0].ambient;"
                                                          "PARAM diffuseCol = state.lightprod[0].diffuse;"
                                                          "PARAM specularCol = state.lightprod[0].specular;"
                                                          "TEMP eyeNormal, temp, dots, lightcoefs;"
                                                          "OUTPUT oPos = result.position;"
                                                          "OUTPUT oColor = result.color;"
                                                          "DP4 oPos.x, mvp[0], iPos;"
                                                          "DP4 oPos.y, mvp[1], iPos;"
                                                          "DP4 oPos.z, mvp[2], iPos;"
                                                          "DP4 oPos.w, mvp[3], iPos;"
                                                          "DP3 eyeNormal.x, mvinv[0], iNormal;"
                                                          "DP3 eyeNormal.y, mvinv[1], iNormal;"
                                                          "DP3 eyeNormal.z, mvinv[2], iNormal;"
                                                          "DP3 dots.x, eyeNormal, lightDir;"
                                                          "DP3 dots.y, eyeNormal, halfDir;"
                                                          "MOV dots.w, specExp.x;"
                                                          "LIT lightcoefs, dots;"
                                                          "MAD temp, lightcoefs.y, diffuseCol, ambientCol;"
                                                          "MAD oColor.xyz, lightcoefs.z, specularCol, temp;"
                                                          "MOV oColor.w, diffuseCol.w;"
                                                          "MUL oColor.xyz, vertex.color, temp;"
                                                          "END";
    static constexpr std::string_view fragmentProgramText = "!!ARBfp1.0tex t0;MOV result.color, fragment.color;END";

    virtual ~Shader() = default;

    // Loads both programs. If the driver reports an error position for the
    // last load, writes "<position> <error text>" as one line to standard
    // output; nothing is thrown. A program whose extension is missing is
    // skipped with a line naming the extension.
    virtual void init();
    virtual void enableVertexProgram();
    virtual void disableVertexProgram();
    virtual void enableFragmentProgram();
    virtual void disableFragmentProgram();
    // Nothing to do: the programs live as long as the GL context.
    virtual void release();

    uint32_t getVertexProgram() const { return vertexProgram; }
    uint32_t getFragmentProgram() const { return fragmentProgram; }

private:
    uint32_t vertexProgram = 0;
    uint32_t fragmentProgram = 0;
};
