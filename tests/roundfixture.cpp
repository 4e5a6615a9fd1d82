#include "roundfixture.h"

#include "engineenvironment.h"
#include "input.h"
#include "timer.h"

#include <sstream>
#include <stdexcept>

namespace {

const char* const vertexShader = "void main() { gl_TexCoord[1] = gl_MultiTexCoord1; gl_Position = ftransform(); }\n";
const char* const fragmentShader =
    "uniform sampler2D tex1;\nvoid main() { gl_FragColor = texture2D(tex1, gl_TexCoord[1].st); }\n";
// One small square facing +y, untextured.
const char* const squareMesh = "0 4 1 0  0 -1 0 -1 0 -1  0 -1 0 1 0 -1  0 -1 0 1 0 1  0 -1 0 -1 0 1  0 0 -1 0 4 0 1 2 3\n";

void pushKey(Uint8 type, SDLKey sym)
{
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = sym;
    if (SDL_PushEvent(&event) != 0)
        throw std::runtime_error("SDL event queue is full");
}

// A picture as a BMP whatever the file name says: the image loader goes by
// the content.
void writePicture(const std::string& file, int width, int height, const std::function<HeightPixel(int, int)>& pixel)
{
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    if (!surface)
        throw std::runtime_error("cannot make a surface");
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i) {
            const HeightPixel p = pixel(i, j);
            auto* row = static_cast<Uint32*>(surface->pixels) + j * surface->pitch / 4;
            row[i] = SDL_MapRGB(surface->format, p.red, p.green, 90);
        }
    const int result = SDL_SaveBMP(surface, file.c_str());
    SDL_FreeSurface(surface);
    if (result != 0)
        throw std::runtime_error("cannot write " + file);
}

} // namespace

RoundFixture::RoundFixture()
{
    for (const char* sound : {"defaultsound", "player_walk", "player_jump", "player_land2", "explosion"})
        writeWav(std::string("resources/sounds/") + sound + ".wav", 441);
    workDir.writeFile("resources/meshes/player.zms", squareMesh);
    workDir.writeFile("resources/meshes/defaultmesh.zms", squareMesh);
    workDir.writeFile("resources/shaders/vertexshader_terrain.fx", vertexShader);
    workDir.writeFile("resources/shaders/fragmentshader_terrain.fx", fragmentShader);
    workDir.writeFile("resources/textures/.keep", "");
    const auto grey = [](int, int) { return HeightPixel{160, 160}; };
    for (const char* picture : {"standardpic", "explosion", "bg", "ground"})
        writePicture("resources/textures/" + std::string(picture) + ".png", 4, 4, grey);

    Timer::getInstance().setTickSource([this] { return now; });
    frame(0); // the first delta after switching clocks means nothing
    releaseAllKeys();
}

RoundFixture::~RoundFixture()
{
    releaseAllKeys();
    Timer::getInstance().setTickSource({});
}

void RoundFixture::writeTerrain(const std::string& description, int width, int height, float scaleX, float scaleY,
                                const std::function<HeightPixel(int, int)>& pixel) const
{
    const std::string image = description + ".bmp";
    workDir.writeFile(image, "");
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

// 16-bit mono PCM at 22050 Hz, silent.
void RoundFixture::writeWav(const std::string& file, uint32_t samples) const
{
    std::string bytes;
    const auto put = [&bytes](const char* tag, uint32_t value, int size) {
        bytes += tag;
        for (int i = 0; i < size; ++i)
            bytes += static_cast<char>(value >> 8 * i);
    };
    put("RIFF", 36 + 2 * samples, 4);
    put("WAVEfmt ", 16, 4);
    for (auto [value, size] : {std::pair{1u, 2}, {1u, 2}, {22050u, 4}, {44100u, 4}, {2u, 2}, {16u, 2}})
        put("", value, size);
    put("data", 2 * samples, 4);
    bytes.append(2 * samples, '\0');
    workDir.writeFile(file, bytes);
}

void RoundFixture::frame(uint32_t ms)
{
    now += ms;
    EngineEnvironment::runEngineFrame();
}

void RoundFixture::pressKey(SDLKey sym)
{
    pushKey(SDL_KEYDOWN, sym);
}

void RoundFixture::releaseKey(SDLKey sym)
{
    pushKey(SDL_KEYUP, sym);
}

void RoundFixture::releaseAllKeys()
{
    Input& input = Input::getInstance();
    input.update();
    while (!input.getKeys().empty()) {
        releaseKey(static_cast<SDLKey>(input.getKeys().front().sym));
        input.update();
    }
}
