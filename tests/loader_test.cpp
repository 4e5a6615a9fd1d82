// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/loader.h"

#include "engineenvironment.h"
#include "glcapture.h"
#include "program.h"
#include "engine/renderer.h"
#include "resources/resourcemanager.h"
#include "tempdir.h"
#include "testpicture.h"

#include <gtest/gtest.h>

#include <chrono>
// After gtest: Xlib defines macros (None, Bool) that clash with its names.
#include <GL/glx.h>

namespace {

// With a renderer smaller than the window, the picture's top row goes to the
// top of the renderer area, which it covers, and the rest of the window stays clear.
TEST(Loader, ShowCoversTheRendererAreaPresentsAndHoldsNothingAfterwards)
{
    ScopedWorkDir dir;
    const Rgba top{250, 200, 0, 255}, bottom{0, 90, 30, 255}, clearColour{128, 128, 204, 255};
    TestPicture picture(64, 64, bottom);
    picture.fill(0, 0, 64, 32, top);
    picture.save(Loader::pictureFile);
    restartRenderer(dir, {{"renderer_width", 320}, {"renderer_height", 240}});
    ResourceManager& manager = ResourceManager::getInstance();
    const std::size_t before = manager.getResourceCount();
    Renderer::getInstance().update();
    Loader::show();
    const std::vector<Rgba> area = readPixels(0, 0, 320, 240);
    // Linear filtering blends the halves near row 120 and, as the texture
    // repeats, the top and bottom rows with each other.
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < area.size(); ++i) {
        const std::size_t row = i / 320;
        wrong += area[i] == clearColour || (row >= 4 && row < 112 && area[i] != bottom) ||
                 (row >= 128 && row < 236 && area[i] != top);
    }
    EXPECT_EQ(0u, wrong) << "pixels of the renderer area that show the wrong half";
    EXPECT_EQ(clearColour, pixelAt(330, 100)) << "right of the renderer area";
    EXPECT_EQ(clearColour, pixelAt(100, 250)) << "above the renderer area";
    // The swap may reach the X server a moment later.
    const auto presented = [](const xwindows::Picture& shown) { return shown.atGl(160, 180) == 0xFAC800u; };
    EXPECT_TRUE(presented(xwindows::waitForPicture(glXGetCurrentDrawable(), presented, std::chrono::seconds(2))));
    EXPECT_EQ(before, manager.getResourceCount()) << "the picture was given back";
    restartRenderer(dir, {});
}

} // namespace
