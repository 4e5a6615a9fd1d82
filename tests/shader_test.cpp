// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <GL/glew.h>

#include "resources/hlslshader.h"
#include "resources/shader.h"

#include "tempdir.h"

#include <gtest/gtest.h>

namespace {

const std::string prefix = "src/hlslshader: HLSLShader error: ";

// A program binds the samplers it uses to their units; failures throw their fixed messages.
TEST(HLSLShader, AProgramBindsTheSamplersItUsesAndFailuresThrowTheirFixedMessages)
{
    if (!GLEW_ARB_shader_objects)
        GTEST_SKIP() << "no GL_ARB_shader_objects";
    while (glGetError() != GL_NO_ERROR) {} // count only this test's errors
    ScopedWorkDir dir;
    dir.writeFile("v.fx", "void main() { gl_Position = ftransform(); gl_TexCoord[0] = gl_MultiTexCoord0; }\n");
    // Uses two of the four samplers.
    dir.writeFile("f.fx", "uniform sampler2D tex0;\nuniform sampler2D tex2;\nvoid main() {\n"
                          "gl_FragColor = texture2D(tex0, gl_TexCoord[0].st) * texture2D(tex2, gl_TexCoord[0].st); }");
    dir.writeFile("broken.fx", "void main() { gl_Position = ; }\n");
    dir.writeFile("unresolved.fx", "vec4 nowhere();\nvoid main() { gl_Position = nowhere(); }\n");
    HLSLShader shader;
    shader.loadShaders("v.fx", "f.fx");
    const GLhandleARB program = shader.getProgram();
    ASSERT_NE(0u, program);
    EXPECT_EQ(0u, glGetHandleARB(GL_PROGRAM_OBJECT_ARB));
    std::vector<GLint> units(4, -1);
    for (int i = 0; i < 4; ++i)
        if (const GLint at = glGetUniformLocationARB(program, ("tex" + std::to_string(i)).c_str()); at != -1)
            glGetUniformivARB(program, at, &units[i]);
    EXPECT_EQ((std::vector<GLint>{0, -1, 2, -1}), units);
    shader.bind();
    EXPECT_EQ(program, glGetHandleARB(GL_PROGRAM_OBJECT_ARB));
    shader.unload();
    EXPECT_EQ(0u, glGetHandleARB(GL_PROGRAM_OBJECT_ARB));
    EXPECT_FALSE(glIsProgram(program));
    EXPECT_EQ(static_cast<GLenum>(GL_NO_ERROR), glGetError());

    // Failures throw their fixed messages.
    const std::pair<std::pair<const char*, const char*>, std::string> cases[] = {
        // The missing fragment file is never read: the vertex stage fails first.
        {{"broken.fx", "missing.fx"}, prefix + "There is an error in the 'Vertex' Shader Source."},
        {{"v.fx", "broken.fx"}, prefix + "There is an error in the 'Fragment' Shader Source."},
        {{"unresolved.fx", "f.fx"}, prefix + "It was not possible to Link the Shader Program."},
        {{"v.fx", "missing.fx"}, "Cannot open or create file 'missing.fx'"},
        {{"v.fx", "f.fx"}, ""},
    };
    for (const auto& [files, message] : cases) {
        HLSLShader failing;
        std::string thrown;
        capturedStdout([&] { thrown = thrownMessage([&] { failing.loadShaders(files.first, files.second); }); });
        EXPECT_EQ(message, thrown); // the driver's log, if any, is left out
        EXPECT_NE(0u, failing.getProgram());
        failing.unload();
    }
}

// Run by a separate CTest entry with Mesa hiding these extensions.
TEST(WithoutShaderExtensions, NothingIsCalledThatTheDriverLacks)
{
    if (GLEW_ARB_shader_objects || GLEW_ARB_vertex_program || GLEW_ARB_fragment_program)
        GTEST_SKIP() << "the extensions are present";
    HLSLShader shader;
    EXPECT_EQ(prefix + "cannot create Vertex Shader.", thrownMessage([&] { shader.loadShaders("v.fx", "f.fx"); }));
    EXPECT_EQ(prefix + "cannot create Fragment Shader.", thrownMessage([&] { shader.loadShaders("", "f.fx"); }));
    shader.bind();
    shader.unload();
    Shader programs;
    EXPECT_EQ("src/shader: GL_ARB_vertex_program is not available\n"
              "src/shader: GL_ARB_fragment_program is not available\n",
              capturedStdout([&] { programs.init(); }));
}

} // namespace
