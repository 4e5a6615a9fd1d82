// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "resources/image.h"
#include "resources/resourcemanager.h"
#include "resources/texture2d.h"

#include "glcapture.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fs = std::filesystem;

namespace {

// The fixtures' 3 x 2 grid of cells (a pixel each, 8 x 8 in the JPEG), top row first
// (tools/make_test_fixtures.py).
const Rgba cells[6] = {{255, 0, 0, 255},     {0, 255, 0, 255}, {0, 0, 255, 255},
                       {255, 255, 255, 255}, {0, 0, 0, 255},   {255, 255, 0, 255}};
const std::string cannotLoad = "src/image: Cannot load Resource ";
const std::string fallback = "\nLoading standardfile instead...\n";

// The same grid as a BMP: 8 bits a pixel (palettised) or 24 (B,G,R bytes).
void writeBmp(const char* file, int depth)
{
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 3, 2, depth, 0, 0, 0, 0);
    for (int i = 0; i < 6; ++i) {
        SDL_Color colour{cells[i].r, cells[i].g, cells[i].b, 0};
        SDL_SetColors(surface, &colour, i, 1); // without a palette this does nothing
        SDL_Rect cell{static_cast<Sint16>(i % 3), static_cast<Sint16>(i / 3), 1, 1};
        SDL_FillRect(surface, &cell, SDL_MapRGB(surface->format, colour.r, colour.g, colour.b));
    }
    SDL_SaveBMP(surface, file);
    SDL_FreeSurface(surface);
}

// Reads the texture back from GL and compares each cell's middle texel with
// its colour (top row first, as uploaded); with alpha the black cell is transparent.
void expectTexels(const Texture2D& texture, int tolerance = 0, bool blackIsTransparent = false)
{
    int width = 0, height = 0;
    const std::vector<Rgba> texels = textureTexels(texture.getId(), &width, &height);
    ASSERT_TRUE(width > 0 && height > 0);
    for (int i = 0; i < 6; ++i) {
        const Rgba want = blackIsTransparent && i == 4 ? Rgba{0, 0, 0, 0} : cells[i];
        const int row = i / 3 * height / 2 + height / 4, column = i % 3 * width / 3 + width / 6;
        const Rgba got = texels[static_cast<std::size_t>(row * width + column)];
        EXPECT_LE(std::max({std::abs(want.r - got.r), std::abs(want.g - got.g), std::abs(want.b - got.b),
                            std::abs(want.a - got.a)}),
                  tolerance)
            << "cell " << i << ": " << +got.r << "," << +got.g << "," << +got.b << "," << +got.a;
    }
}

class ImageTest : public ::testing::Test {
protected:
    ImageTest()
    {
        for (const char* file : {"rgb.png", "rgba.png", "palette.png", "photo.jpg"})
            fs::copy_file(fs::path(KERBOLT_FIXTURES) / file, file);
        dir.writeFile(Image::defaultFile, readWholeFile("rgb.png"));
    }
    void TearDown() override { EXPECT_EQ(0u, manager.getResourceCount()) << "a hold was left"; }

    ScopedWorkDir dir;
    ResourceManager& manager = ResourceManager::getInstance();
};

TEST_F(ImageTest, EveryLayoutUploadsInItsOwnColoursBadPicturesFallBackAndWithoutAnyPictureATextureHasNoId)
{
    writeBmp("bgr24.bmp", 24);
    writeBmp("indexed8.bmp", 8);
    // Format 0: GL cannot take the surface as it is.
    struct Case {
        const char* file;
        GLenum format, internalFormat;
        int tolerance;
    };
    for (const auto& [file, format, internalFormat, tolerance] :
         {Case{"bgr24.bmp", GL_BGR, GL_RGB, 0}, Case{"indexed8.bmp", 0, GL_RGB, 0}, Case{"rgb.png", GL_RGB, GL_RGB, 0},
          Case{"rgba.png", GL_RGBA, GL_RGBA, 0}, Case{"palette.png", 0, GL_RGBA, 0},
          Case{"photo.jpg", GL_RGB, GL_RGB, 12}}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(format, Held<Image>(file)->getFormat());
        EXPECT_EQ(internalFormat, Held<Image>(file)->getInternalFormat());

        glPixelStorei(GL_UNPACK_ALIGNMENT, 8); // the caller's unpack state neither matters nor changes
        const Held<Texture2D> texture(file);
        EXPECT_EQ(8, glInteger(GL_UNPACK_ALIGNMENT));
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        EXPECT_EQ(GLenum{GL_NO_ERROR}, glGetError());
        EXPECT_EQ(file, texture->getName());
        expectTexels(*texture, tolerance, internalFormat == GL_RGBA);
    }

    // Unreadable pictures fall back and leave no file open.
    dir.writeFile("anim.gif", "GIF89a\x01\x00\x01\x00\x00\x00\x00;");
    dir.writeFile("cut.png", readWholeFile("rgba.png").substr(0, 45));
    auto openFiles = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
    const auto filesBefore = openFiles();
    for (const auto& [file, reason] : {std::pair{"gone.png", ". Cannot find that file."},
                                       std::pair{"anim.gif", ". Unknown type."},
                                       std::pair{"cut.png", ". Cannot decode that file."}}) {
        Held<Image> image;
        EXPECT_EQ(cannotLoad + file + reason + fallback, capturedStdout([&] { image = Held<Image>(file); }));
        EXPECT_EQ(Image::defaultFile, image->getName());
        EXPECT_TRUE(image->getSurface() && image->getWidth() == 3);
    }
    EXPECT_EQ(filesBefore, openFiles());

    // The texture of a missing file shows the default picture under its name; only the image speaks.
    Held<Texture2D> fallen;
    EXPECT_EQ(cannotLoad + "gone.png. Cannot find that file." + fallback,
              capturedStdout([&] { fallen = Held<Texture2D>("gone.png"); }));
    EXPECT_EQ(Image::defaultFile, fallen->getName());
    expectTexels(*fallen);
    fallen.reset();

    // A texture uses an image already held; without any picture it has no id.
    Held<Image> image("rgb.png");
    SDL_Surface* surface = image->getSurface();
    fs::remove("rgb.png"); // a second decode would fall back to the default picture
    Held<Texture2D> texture("rgb.png");
    EXPECT_EQ("rgb.png", texture->getName());
    EXPECT_TRUE(image->getRefCount() == 1 && image->getSurface() == surface);
    expectTexels(*texture);
    image.reset();

    fs::remove(Image::defaultFile);
    Held<Texture2D> empty;
    EXPECT_EQ(cannotLoad + "gone.png. Cannot find that file." + fallback + cannotLoad + Image::defaultFile +
                  ". Cannot find that file." + fallback,
              capturedStdout([&] { empty = Held<Texture2D>("gone.png"); }));
    EXPECT_EQ(0u, empty->getId());
    EXPECT_EQ("gone.png", empty->getName());
    empty.reset();
    EXPECT_TRUE(glIsTexture(texture->getId())) << "releasing no texture deleted another";
    texture.reset();
    ASSERT_EQ(1u, manager.getResourceCount()); // the image whose default failed keeps its hold
    manager.releaseResource(&manager.getResourceAt(0));
}

} // namespace
