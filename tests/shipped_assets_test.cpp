// The shipped resources tree, read from the repository through the game's
// own loaders: every picture, font, sound, mesh and shader the game opens is
// there and loads as itself (no "Loading standardfile instead..."), and the
// files keep the promises the drawing code relies on.

#include <GL/glew.h>

#include "fontwriter.h"
#include "heightmap.h"
#include "hlslshader.h"
#include "image.h"
#include "meshzms.h"
#include "resourcemanager.h"
#include "savegame.h"
#include "sound.h"
#include "tempdir.h"
#include "testpicture.h"
#include "texture2d.h"
#include "tokenreader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <set>
#include <tuple>

namespace {

constexpr int firstCode = 33;
constexpr int cellCount = 225; // 15 x 15; cell 2k: code 33 + k, cell 2k + 1: its highlight

class ShippedAssets : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::current_path(KERBOLT_SOURCE_DIR); }
    void TearDown() override
    {
        for (const Resource* resource : held)
            manager.releaseResource(resource);
        std::filesystem::current_path(previous);
    }

    // Requests a resource and fails the test when it came from the type's
    // default file instead.
    template <class T>
    T* load(const std::string& file)
    {
        T* resource = nullptr;
        const std::string output = capturedStdout([&] { held.push_back(resource = manager.getResource<T>(file)); });
        EXPECT_EQ(std::string::npos, output.find("Loading standardfile instead...")) << file << ": " << output;
        EXPECT_EQ(file, resource->getName());
        return resource;
    }

    const std::filesystem::path previous = std::filesystem::current_path();
    ResourceManager& manager = ResourceManager::getInstance();
    std::vector<const Resource*> held;
};

// Alpha and red minus blue of one pixel.
Uint8 alphaAt(const SDL_Surface* surface, int x, int y, int* warmth = nullptr)
{
    const Rgba pixel = surfacePixel(*surface, x, y);
    if (warmth != nullptr)
        *warmth = pixel.r - pixel.b;
    return pixel.a;
}

// Ink of each glyph cell of a font picture: the first and last inked row
// within the cell and the mean red minus blue of the inked pixels.
struct CellInk {
    int top = -1, bottom = -1;
    double warmth = 0.0;
};

std::vector<CellInk> measureCells(const Image& image)
{
    const int cell = image.getWidth() / 15;
    EXPECT_EQ(4, image.getSurface()->format->BytesPerPixel);
    std::vector<CellInk> cells(cellCount);
    for (int n = 0; n < cellCount; ++n) {
        long inked = 0;
        for (int y = 0; y < cell; ++y)
            for (int x = 0; x < cell; ++x) {
                int warmth = 0;
                if (alphaAt(image.getSurface(), n % 15 * cell + x, n / 15 * cell + y, &warmth) == 0)
                    continue;
                cells[n].top = cells[n].top < 0 ? y : cells[n].top;
                cells[n].bottom = y;
                cells[n].warmth += warmth;
                ++inked;
            }
        cells[n].warmth /= std::max(inked, 1L);
    }
    return cells;
}

// The menu's backdrop and every level's terrain description.
std::vector<std::string> terrainDescriptions()
{
    std::vector<std::string> descriptions = {"resources/heightmaps/start.txt"};
    for (const Savegame::Level& level : Savegame::levels) {
        TokenReader reader(level.levelFile);
        reader.readLine();
        descriptions.push_back(reader.readString());
    }
    return descriptions;
}

// Every texture the levels and terrain descriptions name: backgrounds, colour
// maps, grain and the others. (The height images are read pixel by pixel, at
// any size, as the terrains load.)
std::set<std::string> namedPictures()
{
    std::set<std::string> pictures;
    for (const Savegame::Level& level : Savegame::levels) {
        TokenReader reader(level.levelFile);
        reader.readLine();
        reader.readString();
        pictures.insert(reader.readString());
    }
    for (const std::string& description : terrainDescriptions()) {
        TokenReader reader(description);
        reader.readString();
        for (int scale = 0; scale < 3; ++scale)
            reader.readFloat();
        for (int unit = 0; unit < 4; ++unit)
            pictures.insert(reader.readString());
    }
    return pictures;
}

TEST_F(ShippedAssets, EveryPictureLoadsAsItselfWithPowerOfTwoSides)
{
    std::set<std::string> files = namedPictures();
    EXPECT_LT(10u, files.size());
    for (const char* name : {"textures/loading", "textures/standardpic", "textures/gui", "textures/menue_shade",
                             "textures/explosion", "textures/prize/gold", "textures/prize/silver",
                             "textures/prize/bronze"})
        files.insert(std::string("resources/") + name + ".png");
    for (const Savegame::Level& level : Savegame::levels)
        files.insert(level.thumbnail);
    for (const std::string& file : files) {
        const Image* image = load<Image>(file);
        for (const int side : {image->getWidth(), image->getHeight()})
            EXPECT_TRUE(side > 0 && (side & (side - 1)) == 0) << file;
        EXPECT_NE(0u, image->getFormat()) << file << ": pixels OpenGL cannot take as they are";
        EXPECT_NE(0u, load<Texture2D>(file)->getId()) << file;
    }
    const Image* gui = load<Image>("resources/textures/gui.png");
    ASSERT_TRUE(gui->getWidth() == 256 && gui->getHeight() == 256 && gui->getSurface()->format->BytesPerPixel == 4);
    // The caption half of a text button is solid glass; the middle of a
    // picture button's frame is open, so the level picture shows through.
    EXPECT_TRUE(alphaAt(gui->getSurface(), 200, 18) > 128 && alphaAt(gui->getSurface(), 200, 56) > 128);
    EXPECT_TRUE(alphaAt(gui->getSurface(), 64, 200) == 0 && alphaAt(gui->getSurface(), 192, 200) == 0);
    for (const char* medal : {"gold", "silver", "bronze"}) {
        const Image* image = load<Image>(std::string("resources/textures/prize/") + medal + ".png");
        EXPECT_TRUE(image->getWidth() == 64 && image->getHeight() == 64 && image->getInternalFormat() == GL_RGBA)
            << medal;
    }
}

TEST_F(ShippedAssets, FontPicturesHoldANormalAndAWarmerHighlightGlyphInEveryCell)
{
    for (const char* file : FontWriter::fontFiles) {
        const Image* image = load<Image>(file);
        const int size = std::strstr(file, "auf512") ? 512 : 256;
        ASSERT_TRUE(image->getWidth() == size && image->getHeight() == size && image->getInternalFormat() == GL_RGBA)
            << file;
        const std::vector<CellInk> cells = measureCells(*image);
        for (int n = 0; n < cellCount; ++n)
            EXPECT_GE(cells[n].top, 0) << file << ": no ink in cell " << n << " (code " << firstCode + n / 2 << ")";
        for (int n = 0; n + 1 < cellCount; n += 2)
            EXPECT_GT(cells[n + 1].warmth - cells[n].warmth, 60.0)
                << file << ": the highlight of code " << firstCode + n / 2 << " is hardly different";
    }
}

TEST_F(ShippedAssets, EverySoundLoadsAsItself)
{
    for (const char* name : {"defaultsound", "menue_click", "menue_over", "player_jump", "player_land2", "player_walk",
                             "explosion", "game_end"}) {
        const std::string file = std::string("resources/sounds/") + name + ".wav";
        EXPECT_TRUE(load<Sound>(file)->getChunk()) << file;
    }
}

TEST_F(ShippedAssets, EveryMeshLoadsWithItsOwnTextureAndValidCorners)
{
    // The height of the highest point; feet stand at z = 0.
    for (const auto& [file, minHeight, maxHeight] : {std::tuple{"player", 6.0f, 8.0f}, {"tree", 0.9f, 1.1f},
                                                     {"tree_round", 0.9f, 1.1f}, {"defaultmesh", 0.5f, 2.0f}}) {
        const MeshZMS* mesh = load<MeshZMS>(std::string("resources/meshes/") + file + ".zms");
        // Textured, so that drawing one never switches texturing off.
        ASSERT_NE(nullptr, mesh->getTexture()) << file;
        if (std::strcmp(file, "defaultmesh") != 0) {
            EXPECT_NE(Image::defaultFile, mesh->getTexture()->getName()) << file << " has no texture of its own";
        }
        EXPECT_GT(mesh->getFaces().size(), 0u) << file; // the loader has checked every face
        const auto [low, high] = std::minmax_element(mesh->getVertices().begin(), mesh->getVertices().end(),
                                                     [](const Vertex& a, const Vertex& b) { return a.z < b.z; });
        EXPECT_NEAR(0.0f, low->z, 0.1f) << file;
        EXPECT_TRUE(high->z >= minHeight && high->z <= maxHeight) << file << " is " << high->z << " tall";
    }
}

// The program reads the colour map and the grain picture only: every texture
// read per pixel is a large share of a frame on a software renderer.
TEST_F(ShippedAssets, TerrainShadersCompileAndLinkAndReadTheColourMapAndTheGrainOnly)
{
    if (!GLEW_ARB_shader_objects || !GLEW_ARB_multitexture)
        GTEST_SKIP() << "no GLSL here: the terrain draws with one texture";
    HLSLShader shader;
    ASSERT_NO_THROW(shader.loadShaders("resources/shaders/vertexshader_terrain.fx",
                                       "resources/shaders/fragmentshader_terrain.fx"));
    for (const char* sampler : {"tex0", "tex2"})
        EXPECT_NE(-1, glGetUniformLocationARB(shader.getProgram(), sampler)) << sampler << " is not used";
    for (const char* sampler : {"tex1", "tex3"})
        EXPECT_EQ(-1, glGetUniformLocationARB(shader.getProgram(), sampler)) << sampler << " is read";
    shader.unload();
}

// The menu's backdrop and every level: each file they name loads as itself;
// the backdrop spans the circle the menu turns it on.
TEST_F(ShippedAssets, EveryTerrainLoadsEveryFileItNamesAndTheBackdropSpansTheTurningCircle)
{
    for (const std::string& description : terrainDescriptions())
        load<Heightmap>(description);
    const Heightmap* terrain = load<Heightmap>("resources/heightmaps/start.txt");
    EXPECT_TRUE(terrain->getHeightScale() > 0 && terrain->getMeshScale() > 0);
    for (int unit = 1; unit < 4; ++unit)
        EXPECT_GT(terrain->getTexCoords(unit).back().x, 0.0f) << "repeat " << unit;
    // The menu turns the terrain about (190, 190): it should reach about 380 units both ways.
    EXPECT_NEAR(380.0f, terrain->getLengthX(), 12.0f);
    EXPECT_NEAR(380.0f, terrain->getLengthY(), 12.0f);
}

} // namespace
