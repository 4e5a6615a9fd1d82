#include "image.h"
#include "renderer.h"
#include "resourcemanager.h"
#include "texture2d.h"

#include "glcapture.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fs = std::filesystem;

namespace {

// The fixtures' 3 x 2 cells, top row first (tools/make_test_fixtures.py).
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

// Draws the texture on a 60 x 40 quad over grey with alpha test and compares each cell's centre.
void expectDrawnCells(const Texture2D& texture, int tolerance = 0, bool blackIsTransparent = false)
{
    Renderer::getInstance().setOrtho();
    glClearColor(64 / 255.0f, 64 / 255.0f, 64 / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    glBindTexture(GL_TEXTURE_2D, texture.getId());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glColor3ub(255, 255, 255);
    glBegin(GL_QUADS);
    for (int corner : {0, 1, 3, 2}) // texture row 0 at the top
        glTexCoord2i(corner & 1, corner >> 1), glVertex2i(60 * (corner & 1), 40 - 40 * (corner >> 1));
    glEnd();
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_DEPTH_TEST);
    for (int i = 0; i < 6; ++i) {
        const Rgba want = blackIsTransparent && i == 4 ? Rgba{64, 64, 64, 255} : cells[i];
        const Rgba got = pixelAt(10 + 20 * (i % 3), 30 - 20 * (i / 3));
        EXPECT_LE(std::max({std::abs(want.r - got.r), std::abs(want.g - got.g), std::abs(want.b - got.b)}), tolerance)
            << "cell " << i << ": " << +got.r << "," << +got.g << "," << +got.b;
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

TEST_F(ImageTest, EveryPixelLayoutUploadsWithItsOwnColours)
{
    writeBmp("bgr24.bmp", 24);
    writeBmp("indexed8.bmp", 8);
    struct Case {
        const char* file;
        GLenum format, internalFormat; // format 0: GL cannot take the surface as it is
        int tolerance;
        bool blackIsTransparent;
    };
    for (const auto& [file, format, internalFormat, tolerance, blackIsTransparent] :
         {Case{"bgr24.bmp", GL_BGR, GL_RGB, 0, false}, Case{"indexed8.bmp", 0, GL_RGB, 0, false},
          Case{"rgb.png", GL_RGB, GL_RGB, 0, false}, Case{"rgba.png", GL_RGBA, GL_RGBA, 0, true},
          Case{"palette.png", 0, GL_RGBA, 0, true}, Case{"photo.jpg", GL_RGB, GL_RGB, 12, false}}) {
        SCOPED_TRACE(file);
        Image* image = manager.getResource<Image>(file);
        EXPECT_EQ(format, image->getFormat());
        EXPECT_EQ(internalFormat, image->getInternalFormat());
        manager.releaseResource(image);

        glPixelStorei(GL_UNPACK_ALIGNMENT, 8); // the caller's unpack state neither matters nor changes
        Texture2D* texture = manager.getResource<Texture2D>(file);
        GLint alignment = 0;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        EXPECT_EQ(8, alignment);
        EXPECT_EQ(GLenum{GL_NO_ERROR}, glGetError());
        EXPECT_EQ(file, texture->getName());
        expectDrawnCells(*texture, tolerance, blackIsTransparent);
        manager.releaseResource(texture);
    }
}

TEST_F(ImageTest, UnreadablePicturesFallBackAndLeaveNoFileOpen)
{
    dir.writeFile("anim.gif", "GIF89a\x01\x00\x01\x00\x00\x00\x00;");
    dir.writeFile("cut.png", readWholeFile("rgba.png").substr(0, 45));
    auto openFiles = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
    const auto filesBefore = openFiles();
    for (const auto& [file, reason] : {std::pair{"gone.png", ". Cannot find that file."},
                                       std::pair{"anim.gif", ". Unknown type."},
                                       std::pair{"cut.png", ". Cannot decode that file."}}) {
        ::testing::internal::CaptureStdout();
        Image* image = manager.getResource<Image>(file);
        EXPECT_EQ(cannotLoad + file + reason + fallback, ::testing::internal::GetCapturedStdout());
        EXPECT_EQ(Image::defaultFile, image->getName());
        EXPECT_TRUE(image->getSurface() && image->getWidth() == 3);
        manager.releaseResource(image);
    }
    EXPECT_EQ(filesBefore, openFiles());

    // The texture of a missing file shows the default picture under its name; only the image speaks.
    ::testing::internal::CaptureStdout();
    Texture2D* texture = manager.getResource<Texture2D>("gone.png");
    EXPECT_EQ(cannotLoad + "gone.png. Cannot find that file." + fallback, ::testing::internal::GetCapturedStdout());
    EXPECT_EQ(Image::defaultFile, texture->getName());
    expectDrawnCells(*texture);
    manager.releaseResource(texture);
}

TEST_F(ImageTest, TextureOfAHeldImageDoesNotDecodeAgain)
{
    Image* image = manager.getResource<Image>("rgb.png");
    SDL_Surface* surface = image->getSurface();
    fs::remove("rgb.png"); // a second decode would fall back to the default picture
    Texture2D* texture = manager.getResource<Texture2D>("rgb.png");
    EXPECT_EQ("rgb.png", texture->getName());
    EXPECT_EQ(1, image->getRefCount());
    EXPECT_EQ(surface, image->getSurface());
    expectDrawnCells(*texture);
    manager.releaseResource(texture);
    manager.releaseResource(image);
}

TEST_F(ImageTest, TextureWithoutAnyPictureHasNoIdAndDeletesNothing)
{
    Texture2D* other = manager.getResource<Texture2D>("rgb.png");
    fs::remove(Image::defaultFile);
    ::testing::internal::CaptureStdout();
    Texture2D* texture = manager.getResource<Texture2D>("gone.png");
    EXPECT_EQ(cannotLoad + "gone.png. Cannot find that file." + fallback + cannotLoad + Image::defaultFile +
                  ". Cannot find that file." + fallback,
              ::testing::internal::GetCapturedStdout());
    EXPECT_EQ(0u, texture->getId());
    EXPECT_EQ("gone.png", texture->getName());
    manager.releaseResource(texture);
    EXPECT_TRUE(glIsTexture(other->getId()));
    manager.releaseResource(other);
    ASSERT_EQ(1u, manager.getResourceCount()); // the image whose default failed keeps its hold
    manager.releaseResource(&manager.getResourceAt(0));
}

} // namespace
