// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The shipped resources tree, read from the repository through the game's
// own loaders: every picture, font, terrain (with its meshes) and shader the
// game opens is there and loads as itself (no "Loading standardfile
// instead..."), and the files keep the promises the drawing code relies on.
// (The sounds are all played, without a word on standard output, in the
// end-to-end test's session.)

#include "resources/fontwriter.h"
#include "world/heightmap.h"
#include "resources/image.h"
#include "resources/resourcemanager.h"
#include "world/savegame.h"
#include "resources/surfacepixels.h"
#include "tempdir.h"
#include "resources/texture2d.h"
#include "engine/tokenreader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

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

// The menu's backdrop and every level's terrain description (first), and
// every texture the levels and descriptions name: backgrounds, colour maps,
// grain and the others. (The height images are read pixel by pixel, at any
// size, as the terrains load.)
std::pair<std::vector<std::string>, std::set<std::string>> namedFiles()
{
    std::pair<std::vector<std::string>, std::set<std::string>> named{{"resources/heightmaps/start.txt"}, {}};
    for (const Savegame::Level& level : Savegame::levels) {
        TokenReader reader(level.levelFile);
        reader.readLine();
        named.first.push_back(reader.readString());
        named.second.insert(reader.readString());
    }
    for (const std::string& description : named.first) {
        TokenReader reader(description);
        for (int word = 0; word < 4; ++word) // the height image and three scales
            reader.readString();
        for (int unit = 0; unit < 4; ++unit)
            named.second.insert(reader.readString());
    }
    return named;
}

TEST_F(ShippedAssets, EveryPictureAndFontLoadsAsItselfWithPowerOfTwoSides)
{
    std::set<std::string> files = namedFiles().second;
    EXPECT_LT(10u, files.size());
    for (const char* name : {"textures/loading", "textures/standardpic", "textures/gui", "textures/menue_shade",
                             "textures/explosion", "textures/prize/gold", "textures/prize/silver",
                             "textures/prize/bronze"})
        files.insert(std::string("resources/") + name + ".png");
    for (const Savegame::Level& level : Savegame::levels)
        files.insert(level.thumbnail);
    files.insert(FontWriter::fontFiles.begin(), FontWriter::fontFiles.end());
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
    const auto alpha = [gui](int x, int y) { return colourAt(*gui->getSurface(), x, y).a; };
    EXPECT_TRUE(alpha(200, 18) > 128 && alpha(200, 56) > 128 && alpha(64, 200) == 0 && alpha(192, 200) == 0);
    for (const char* medal : {"gold", "silver", "bronze"}) {
        const Image* image = load<Image>(std::string("resources/textures/prize/") + medal + ".png");
        EXPECT_TRUE(image->getWidth() == 64 && image->getHeight() == 64 && image->getInternalFormat() == GL_RGBA)
            << medal;
    }
}

// The menu's backdrop and every level: each file they name loads as itself;
// the backdrop spans the circle the menu turns it on.
TEST_F(ShippedAssets, EveryTerrainLoadsEveryFileItNamesAndTheBackdropSpansTheTurningCircle)
{
    for (const std::string& description : namedFiles().first)
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
