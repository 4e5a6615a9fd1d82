#include "loader.h"

#include "config.h"
#include "glcapture.h"
#include "renderer.h"
#include "resourcemanager.h"
#include "tempdir.h"
#include "testpicture.h"

#include <gtest/gtest.h>
// After gtest: Xlib defines macros (None, Bool) that clash with its names.
#include <GL/glx.h>
#include <X11/Xutil.h>

namespace {

// What the window shows, read from the X server (24-bit TrueColor under
// Xvfb); y counts from the bottom as in GL.
Rgba presentedPixel(int x, int y)
{
    Display* display = glXGetCurrentDisplay();
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, glXGetCurrentDrawable(), &attributes);
    XImage* image = XGetImage(display, glXGetCurrentDrawable(), x, attributes.height - 1 - y, 1, 1, AllPlanes, ZPixmap);
    const unsigned long value = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return {static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value), 255};
}

class LoaderTest : public ::testing::Test {
protected:
    void TearDown() override { useRendererSize(640, 480); }

    void useRendererSize(int width, int height)
    {
        dir.writeFile("resources/config.cfg", configText({{"renderer_width", width}, {"renderer_height", height}}));
        Config::load("resources/config.cfg");
        Renderer::getInstance().start();
    }

    ScopedWorkDir dir;
};

TEST_F(LoaderTest, ShowCoversTheRendererAreaPresentsAndHoldsNothingAfterwards)
{
    const Rgba colour{200, 40, 90, 255};
    TestPicture(8, 8, colour).save(Loader::pictureFile);
    ResourceManager& manager = ResourceManager::getInstance();
    const std::size_t before = manager.getResourceCount();
    Renderer::getInstance().update();
    Loader::show();
    for (const Rgba& pixel : readPixels(0, 0, 640, 480))
        ASSERT_EQ(colour, pixel);
    EXPECT_EQ(colour, presentedPixel(320, 240));
    EXPECT_EQ(before, manager.getResourceCount());
    for (std::size_t entry = 0; entry < manager.getResourceCount(); ++entry)
        EXPECT_NE(Loader::pictureFile, manager.getResourceAt(entry).getName());
}

TEST_F(LoaderTest, ThePicturesTopRowGoesToTheTopOfTheRendererArea)
{
    const Rgba top{250, 200, 0, 255}, bottom{0, 90, 30, 255}, clearColour{128, 128, 204, 255};
    TestPicture picture(64, 64, bottom);
    picture.fill(0, 0, 64, 32, top);
    picture.save(Loader::pictureFile);
    useRendererSize(320, 240);
    Renderer::getInstance().update();
    Loader::show();
    EXPECT_EQ(top, pixelAt(160, 180));
    EXPECT_EQ(bottom, pixelAt(160, 60));
    EXPECT_EQ(clearColour, pixelAt(330, 100)) << "right of the renderer area";
    EXPECT_EQ(clearColour, pixelAt(100, 250)) << "above the renderer area";
}

} // namespace
