// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "menu/actionlistener.h"
#include "glcapture.h"
#include "resources/resourcemanager.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

using Action = std::pair<std::string, std::string>;

// A listener (or a subclass such as the menu controller) that records the pairs it is sent.
template <class Base = ActionListener>
struct Recording : Base {
    void actionPerformed(const std::string& sender, const std::string& command) override
    {
        actions.emplace_back(sender, command);
    }
    std::vector<Action> actions;
};
using RecordingListener = Recording<>;

// A primitive's bounds in whole hundredths, so the parts of one quad compare equal.
struct Rect {
    float left, bottom, right, top;
    auto operator<=>(const Rect&) const = default;
};
Rect boundsOf(const FeedbackPrimitive& primitive);
std::ostream& operator<<(std::ostream& out, const Rect& r);

// A string as the font writer drew it: its first glyph's top-left corner, its
// bytes, whether it used the highlight glyphs, and the writer's font (0 to 3)
// that draws exactly these glyphs (-1: none, or not asked).
struct TextLine {
    float left, top;
    std::string text;
    bool highlighted = false;
    int font = -1;
    bool operator==(const TextLine&) const = default;
};
std::ostream& operator<<(std::ostream& out, const TextLine& line);

// The strings read back from the glyphs drawn, skipping anything 60 units or
// larger. withFonts: each line is drawn again with each of the writer's fonts
// to find the one that draws it so; this leaves the writer's font and
// highlight changed.
std::vector<TextLine> textLines(const std::vector<FeedbackPrimitive>& drawn, bool withFonts = false);

// Works in a copy of the shipped resources below `sourceDir` with a savegame
// of seven 0 entries, five-second menu click, hover and end sounds (still
// playing when a test counts them), an 800 by 600 window and the fonts loaded.
// At the end, after the test's own clean-up, all it took must be given back.
class MenuFixture : public ::testing::Test {
protected:
    explicit MenuFixture(const std::filesystem::path& sourceDir);
    ~MenuFixture() override;

    // The configured window; the renderer is at least as large, so nothing is clipped.
    void useWindow(int width, int height, int rendererWidth = 1280, int rendererHeight = 1024);
    // Stops all sounds, moves the pointer to window pixel (x, y), y downwards,
    // with the left button held or up, and runs an engine frame.
    static void pointer(int x, int y, bool held);
    // On how many mixer channels the sound loaded from `file` is playing.
    static int plays(const char* file);
    static std::size_t held() { return ResourceManager::getInstance().getResourceCount(); }

    ScopedWorkDir dir;
    std::size_t heldBefore = 0; // once the fixture is set up
};
