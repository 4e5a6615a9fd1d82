// The shipped resources tree, read from the repository through the game's
// own loaders: every picture, font, sound, mesh and shader the game opens is
// there and loads as itself (no "Loading standardfile instead..."), and the
// files keep the promises the drawing code relies on.

#include <GL/glew.h>

#include "hlslshader.h"
#include "image.h"
#include "meshzms.h"
#include "resourcemanager.h"
#include "sound.h"
#include "texture2d.h"
#include "tokenreader.h"

#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> pictures = {
    "resources/textures/loading.png", "resources/textures/standardpic.png", "resources/textures/gui.png",
    "resources/textures/menue_shade.png", "resources/textures/explosion.png", "resources/textures/prize/gold.png",
    "resources/textures/prize/silver.png", "resources/textures/prize/bronze.png",
    "resources/textures/backgrounds/sky_day.png", "resources/textures/backgrounds/sky_dusk.png",
    "resources/textures/terrain/grass.png", "resources/textures/terrain/rock.png",
    "resources/textures/terrain/earth.png", "resources/heightmaps/start_height.png",
    "resources/heightmaps/start_colour.png", "resources/textures/lvls/lvl1_thumb.png",
    "resources/textures/lvls/lvl2_thumb.png", "resources/textures/lvls/lvl3_thumb.png",
    "resources/textures/lvls/lvl4_thumb.png", "resources/textures/lvls/lvl5_thumb.png",
    "resources/textures/lvls/lvl6_thumb.png", "resources/textures/lvls/lvl7_thumb.png"};
const std::array<const char*, 4> fonts = {
    "resources/fonts/nfont_12auf256.png", "resources/fonts/nfont_14auf256.png",
    "resources/fonts/nfont_18auf512.png", "resources/fonts/nfont_24auf512.png"};
const std::vector<std::string> sounds = {
    "resources/sounds/defaultsound.wav", "resources/sounds/menue_click.wav", "resources/sounds/menue_over.wav",
    "resources/sounds/player_jump.wav", "resources/sounds/player_land2.wav", "resources/sounds/player_walk.wav",
    "resources/sounds/explosion.wav", "resources/sounds/game_end.wav"};

constexpr const char* fallbackLine = "Loading standardfile instead...";
constexpr int firstCode = 33;
constexpr int cellCount = 225; // 15 x 15; cell 2k: code 33 + k, cell 2k + 1: its highlight

bool powerOfTwo(int32_t n) { return n > 0 && (n & (n - 1)) == 0; }

class ShippedAssets : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(KERBOLT_SOURCE_DIR);
    }
    void TearDown() override
    {
        for (const Resource* resource : held)
            manager.releaseResource(resource);
        std::filesystem::current_path(previous);
    }

    // Requests a resource with standard output captured and fails the test
    // when it came from the type's default file instead.
    template <class T>
    T* load(const std::string& file)
    {
        ::testing::internal::CaptureStdout();
        T* resource = manager.getResource<T>(file);
        const std::string output = ::testing::internal::GetCapturedStdout();
        held.push_back(resource);
        EXPECT_EQ(std::string::npos, output.find(fallbackLine)) << file << ": " << output;
        EXPECT_EQ(file, resource->getName());
        return resource;
    }

    ResourceManager& manager = ResourceManager::getInstance();
    std::vector<const Resource*> held;

private:
    std::filesystem::path previous;
};

// One pixel's colour, decoded the way the font builder and the terrain read
// surfaces: by bytes per pixel, then through the surface's pixel format.
SDL_Color pixelAt(const SDL_Surface* surface, int x, int y, Uint8& alpha)
{
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * surface->format->BytesPerPixel;
    Uint32 value = 0;
    switch (surface->format->BytesPerPixel) {
    case 1: value = p[0]; break;
    case 2: { Uint16 v; std::memcpy(&v, p, 2); value = v; break; }
    case 3: value = SDL_BYTEORDER == SDL_BIG_ENDIAN ? p[0] << 16 | p[1] << 8 | p[2] : p[0] | p[1] << 8 | p[2] << 16; break;
    case 4: std::memcpy(&value, p, 4); break;
    }
    SDL_Color colour{};
    SDL_GetRGBA(value, surface->format, &colour.r, &colour.g, &colour.b, &alpha);
    return colour;
}

Uint8 alphaAt(const SDL_Surface* surface, int x, int y)
{
    Uint8 alpha = 0;
    pixelAt(surface, x, y, alpha);
    return alpha;
}

// Ink of the glyph cells of a font picture: the first and last inked row
// (within the cell) and the mean red minus blue of the inked pixels.
struct CellInk {
    int top = -1, bottom = -1;
    double warmth = 0.0;
};

std::vector<CellInk> measureCells(const Image& image)
{
    const SDL_Surface* surface = image.getSurface();
    const int cell = image.getWidth() / 15;
    std::vector<CellInk> cells(cellCount);
    for (int n = 0; n < cellCount; ++n) {
        const int x0 = n % 15 * cell, y0 = n / 15 * cell;
        long inked = 0;
        double warmth = 0.0;
        for (int y = 0; y < cell; ++y)
            for (int x = 0; x < cell; ++x) {
                Uint8 alpha = 0;
                const SDL_Color colour = pixelAt(surface, x0 + x, y0 + y, alpha);
                if (alpha == 0)
                    continue;
                if (cells[n].top < 0)
                    cells[n].top = y;
                cells[n].bottom = y;
                warmth += colour.r - colour.b;
                ++inked;
            }
        cells[n].warmth = inked ? warmth / inked : 0.0;
    }
    return cells;
}

// The highest and lowest inked row of a line of text, relative to the point
// it is written at (glyphs hang down from it).
std::pair<int, int> inkRows(const std::vector<CellInk>& cells, const std::string& text, bool highlight)
{
    int top = 1000, bottom = -1;
    for (unsigned char c : text) {
        if (c == ' ')
            continue;
        const CellInk& ink = cells[2 * (c - firstCode) + (highlight ? 1 : 0)];
        top = std::min(top, ink.top);
        bottom = std::max(bottom, ink.bottom);
    }
    return {top, bottom};
}

TEST_F(ShippedAssets, EveryPictureLoadsAsItselfWithPowerOfTwoSides)
{
    for (const std::string& file : pictures) {
        const Image* image = load<Image>(file);
        EXPECT_TRUE(powerOfTwo(image->getWidth()) && powerOfTwo(image->getHeight())) << file;
        EXPECT_NE(0u, image->getFormat()) << file << ": pixels OpenGL cannot take as they are";
        EXPECT_NE(0u, load<Texture2D>(file)->getId()) << file;
    }
    const Image* gui = load<Image>("resources/textures/gui.png");
    EXPECT_EQ(256, gui->getWidth());
    EXPECT_EQ(256, gui->getHeight());
    ASSERT_EQ(static_cast<GLenum>(GL_RGBA), gui->getInternalFormat());
    // The caption half of a text button is solid glass; the middle of a
    // picture button's frame is open, so the level picture shows through.
    EXPECT_GT(alphaAt(gui->getSurface(), 200, 18), 128);
    EXPECT_GT(alphaAt(gui->getSurface(), 200, 56), 128);
    EXPECT_EQ(0, alphaAt(gui->getSurface(), 64, 200));
    EXPECT_EQ(0, alphaAt(gui->getSurface(), 192, 200));
    for (const char* medal : {"gold", "silver", "bronze"}) {
        const Image* image = load<Image>(std::string("resources/textures/prize/") + medal + ".png");
        EXPECT_EQ(64, image->getWidth());
        EXPECT_EQ(64, image->getHeight());
        EXPECT_EQ(static_cast<GLenum>(GL_RGBA), image->getInternalFormat()) << medal;
    }
}

TEST_F(ShippedAssets, FontPicturesHoldANormalAndAWarmerHighlightGlyphInEveryCell)
{
    for (const char* file : fonts) {
        const Image* image = load<Image>(file);
        const int size = std::string(file).find("auf512") != std::string::npos ? 512 : 256;
        EXPECT_EQ(size, image->getWidth()) << file;
        EXPECT_EQ(size, image->getHeight()) << file;
        ASSERT_EQ(static_cast<GLenum>(GL_RGBA), image->getInternalFormat()) << file;
        const std::vector<CellInk> cells = measureCells(*image);
        for (int n = 0; n < cellCount; ++n)
            EXPECT_GE(cells[n].top, 0) << file << ": no ink in cell " << n << " (code " << firstCode + n / 2 << ")";
        for (int n = 0; n + 1 < cellCount; n += 2)
            EXPECT_GT(cells[n + 1].warmth - cells[n].warmth, 60.0)
                << file << ": the highlight of code " << firstCode + n / 2 << " is hardly different";
    }
}

// Lines the game writes one under the other, at the spacing it uses, must
// not touch: the lowest ink of a line stays above the highest of the next.
TEST_F(ShippedAssets, TheGameScreensLinesOfTextDoNotRunIntoEachOther)
{
    struct Lines {
        int font;
        int spacing;
        bool firstHighlighted;
        std::vector<std::string> text;
    };
    const std::vector<Lines> screens = {
        {1, 15, true, {"Quenor :: beta 1", "Frames per Second: 1234"}},
        {1, 15, false, {"Frames per Second: 1234", "Ticks: 16"}},
        {2, 20, false, {"This is the new Version of the well known game 'Kerbolt'.",
                        "You still play the small character called 'Pimbo'. The bad news is,",
                        "that the nuclear bomb didn`t finish exploding yet. So your turn is to",
                        "flee from the Bomb and jump to a safe spot! I hope you can escape!"}},
        {3, 20, false, {"You have won Gold!", "Wonderful!"}},
        {3, 20, false, {"You have won Silver!", "Not bad! Not bad!"}},
        {3, 20, false, {"You have won Bronze!", "You can do that better!"}},
        {3, 20, false, {"Oh.. You have Lost!", "come on! Try again!"}},
    };
    std::array<std::vector<CellInk>, 4> cells;
    for (std::size_t f = 0; f < fonts.size(); ++f)
        cells[f] = measureCells(*load<Image>(fonts[f]));
    for (const Lines& lines : screens)
        for (std::size_t i = 0; i + 1 < lines.text.size(); ++i) {
            const int above = inkRows(cells[lines.font], lines.text[i], i == 0 && lines.firstHighlighted).second;
            const int below = inkRows(cells[lines.font], lines.text[i + 1], false).first + lines.spacing;
            EXPECT_LT(above, below) << "'" << lines.text[i] << "' over '" << lines.text[i + 1] << "'";
        }
}

TEST_F(ShippedAssets, EverySoundLoadsIntoAChunkThatStartsAndEndsInSilenceUnclipped)
{
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    ASSERT_NE(0, Mix_QuerySpec(&frequency, &format, &channels));
    for (const std::string& file : sounds) {
        const Mix_Chunk* chunk = load<Sound>(file)->getChunk();
        ASSERT_TRUE(chunk && chunk->alen > 0) << file;
        if (format != AUDIO_S16SYS)
            continue; // the mixer converted to a format this check does not read
        const auto* samples = reinterpret_cast<const Sint16*>(chunk->abuf);
        const std::size_t count = chunk->alen / 2;
        int peak = 0;
        for (std::size_t i = 0; i < count; ++i)
            peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
        EXPECT_LT(peak, 32700) << file << " clips";
        EXPECT_GT(peak, 8000) << file << " is nearly silent";
        EXPECT_LT(std::abs(static_cast<int>(samples[0])), 200) << file << " starts with a click";
        EXPECT_LT(std::abs(static_cast<int>(samples[count - 1])), 200) << file << " ends with a click";
    }
}

TEST_F(ShippedAssets, EveryMeshLoadsWithItsOwnTextureAndValidCorners)
{
    struct Expected {
        const char* file;
        float minHeight, maxHeight; // of the highest point; feet stand at z = 0
    };
    for (const Expected& mesh : {Expected{"resources/meshes/player.zms", 6.0f, 8.0f},
                                 Expected{"resources/meshes/tree.zms", 0.9f, 1.1f},
                                 Expected{"resources/meshes/tree_round.zms", 0.9f, 1.1f},
                                 Expected{"resources/meshes/defaultmesh.zms", 0.5f, 2.0f}}) {
        const MeshZMS* loaded = load<MeshZMS>(mesh.file);
        // Textured, so that drawing one never switches texturing off.
        ASSERT_NE(0, loaded->getTextured()) << mesh.file;
        ASSERT_NE(nullptr, loaded->getTexture());
        if (std::string(mesh.file) != MeshZMS::defaultFile) {
            EXPECT_NE(Image::defaultFile, loaded->getTexture()->getName()) << mesh.file << " has no texture of its own";
        }
        ASSERT_EQ(static_cast<std::size_t>(loaded->getVertexCount()), loaded->getVertices().size());
        ASSERT_EQ(static_cast<std::size_t>(loaded->getFaceCount()), loaded->getFaces().size());
        EXPECT_GT(loaded->getFaceCount(), 0);
        for (const Face& face : loaded->getFaces()) {
            EXPECT_TRUE(face.indices.size() == 3 || face.indices.size() == 4) << mesh.file;
            EXPECT_EQ(face.indices.size(), face.texCoords.size()) << mesh.file;
            for (int32_t index : face.indices)
                EXPECT_TRUE(index >= 0 && index < loaded->getVertexCount()) << mesh.file << ": index " << index;
        }
        float low = 1e9f, high = -1e9f;
        for (const Vertex& v : loaded->getVertices()) {
            low = std::min(low, v.z);
            high = std::max(high, v.z);
        }
        EXPECT_NEAR(0.0f, low, 0.1f) << mesh.file;
        EXPECT_TRUE(high >= mesh.minHeight && high <= mesh.maxHeight) << mesh.file << " is " << high << " tall";
    }
}

TEST_F(ShippedAssets, TerrainShadersCompileAndLinkAndUseAllFourTextures)
{
    if (!GLEW_ARB_shader_objects || !GLEW_ARB_multitexture) {
        GTEST_SKIP() << "no GLSL here: the terrain draws with one texture";
    }
    HLSLShader shader;
    ASSERT_NO_THROW(shader.loadShaders("resources/shaders/vertexshader_terrain.fx",
                                       "resources/shaders/fragmentshader_terrain.fx"));
    for (const char* sampler : {"tex0", "tex1", "tex2", "tex3"})
        EXPECT_NE(-1, glGetUniformLocationARB(shader.getProgram(), sampler)) << sampler << " is not used";
    shader.unload();
}

TEST_F(ShippedAssets, MenuBackdropNamesFilesThatExistAndSpansTheTurningCircle)
{
    TokenReader reader("resources/heightmaps/start.txt");
    const std::string heightImage = reader.readString();
    const float scaleX = reader.readFloat(), scaleY = reader.readFloat(), heightScale = reader.readFloat();
    std::vector<std::string> files = {heightImage};
    for (int i = 0; i < 4; ++i)
        files.push_back(reader.readString());
    for (int i = 0; i < 3; ++i)
        EXPECT_GT(reader.readFloat(), 0.0f) << "repeat " << i + 1;
    files.push_back(reader.readString());
    EXPECT_GT(reader.readFloat(), 0.0f) << "mesh scale";
    for (const std::string& file : files)
        EXPECT_TRUE(std::filesystem::is_regular_file(file)) << file;
    EXPECT_GT(heightScale, 0.0f);
    // The menu turns the terrain about (190, 190): it should reach about
    // 380 units in both directions.
    const Image* image = load<Image>(heightImage);
    EXPECT_NEAR(380.0f, image->getWidth() * scaleX, 12.0f);
    EXPECT_NEAR(380.0f, image->getHeight() * scaleY, 12.0f);
}

} // namespace
