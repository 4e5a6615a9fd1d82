// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "roundfixture.h"

#include "engineenvironment.h"
#include "testpicture.h"
#include "engine/timer.h"

#include <sstream>

namespace {

const char* const vertexShader = "void main() { gl_TexCoord[1] = gl_MultiTexCoord1; gl_Position = ftransform(); }\n";
const char* const fragmentShader =
    "uniform sampler2D tex1;\nvoid main() { gl_FragColor = texture2D(tex1, gl_TexCoord[1].st); }\n";
// One small square facing +y, untextured.
const char* const squareMesh = "0 4 1 0  0 -1 0 -1 0 -1  0 -1 0 1 0 -1  0 -1 0 1 0 1  0 -1 0 -1 0 1  0 0 -1 0 4 0 1 2 3\n";

// A picture as a BMP whatever the file name says: the image loader goes by the content.
void writePicture(const std::string& file, int width, int height, const std::function<HeightPixel(int, int)>& pixel)
{
    TestPicture(width, height, [&](int i, int j) {
        const HeightPixel p = pixel(i, j);
        return Rgba{p.red, p.green, 90, 255};
    }).save(file);
}

} // namespace

RoundFixture::RoundFixture()
{
    for (const char* sound : {"defaultsound", "player_walk", "player_jump", "player_land2", "explosion"})
        workDir.writeFile(std::string("resources/sounds/") + sound + ".wav", wavFile(441));
    workDir.writeFile("resources/meshes/player.zms", squareMesh);
    workDir.writeFile("resources/meshes/defaultmesh.zms", squareMesh);
    workDir.writeFile("resources/shaders/vertexshader_terrain.fx", vertexShader);
    workDir.writeFile("resources/shaders/fragmentshader_terrain.fx", fragmentShader);
    for (const char* picture : {"standardpic", "explosion", "bg", "ground"})
        writePicture("resources/textures/" + std::string(picture) + ".png", 4, 4, [](int, int) { return HeightPixel{160, 160}; });

    Timer::getInstance().setTickSource([this] { return now; });
    frame(0); // the first delta after switching clocks means nothing
    releaseAllInput();
}

RoundFixture::~RoundFixture()
{
    releaseAllInput();
    Timer::getInstance().setTickSource({});
}

void RoundFixture::writeTerrain(const std::string& description, int width, int height, float scaleX, float scaleY,
                                const std::function<HeightPixel(int, int)>& pixel) const
{
    const std::string image = description + ".bmp";
    writePicture(image, width, height, pixel);
    std::ostringstream text;
    text << image << ' ' << scaleX << ' ' << scaleY << " 0.1\n";
    for (int unit = 0; unit < 4; ++unit)
        text << "resources/textures/ground.png ";
    text << "\n1 1 1\nresources/meshes/defaultmesh.zms 0.1\n";
    workDir.writeFile(description, text.str());
}

void RoundFixture::writeLevel(const std::string& levelFile, const std::string& description, const std::string& speed) const
{
    workDir.writeFile(levelFile, "A level made by a test\n" + description + " resources/textures/bg.png " + speed + "\n");
}

void RoundFixture::frame(uint32_t ms)
{
    now += ms;
    EngineEnvironment::runEngineFrame();
}

