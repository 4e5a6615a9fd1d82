// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The two widget kinds driven with pushed mouse events: hit box, sounds,
// clicks and what they draw.

#include "menu/button.h"
#include "resources/image.h"
#include "menu/imagebutton.h"
#include "menu/menuemain.h"

#include "menufixture.h"


namespace {

enum class Kind { Text, Picture };

class WidgetTest : public MenuFixture {
protected:
    WidgetTest() : MenuFixture(KERBOLT_SOURCE_DIR) {}
    ~WidgetTest() override
    {
        if (widget)
            widget->stop();
    }

    // A started widget at (x, 180) captioned "AB", sending ("Game", "lvl.txt").
    void make(Kind kind, float x, ActionListener* listener)
    {
        if (widget)
            widget->stop();
        Point2D at;
        at.set(x, 180);
        if (kind == Kind::Text) {
            widget = std::make_unique<Button>();
            static_cast<Button&>(*widget).start(at, Point2D(256, 37), "AB", click, hover);
        } else {
            widget = std::make_unique<ImageButton>();
            static_cast<ImageButton&>(*widget).start(at, Point2D(128, 128), "AB", Image::defaultFile, click, hover);
        }
        widget->setActionListener(listener, "Game", "lvl.txt");
    }

    // One frame with the pointer at window pixel (x, y); answers what the widget drew.
    std::vector<FeedbackPrimitive> frame(int x, int y, bool held)
    {
        pointer(x, y, held);
        return captureFeedback([this] { widget->update(); });
    }

    const char *click = MenueMain::clickSoundFile, *hover = MenueMain::hoverSoundFile;
    std::unique_ptr<MenueItem> widget;
};

TEST_F(WidgetTest, PointerCountsAsOverStrictlyInsideHoverPlaysOnEntryAClickOnReleaseAndTheCaptionLightsUp)
{
    make(Kind::Text, 100, nullptr); // x 100 to 356, y 180 to 217; the window is 600 high
    const int probes[][3] = {
        {130, 400, 1}, {130, 200, 0}, // (130, 200) in menu units, and its mirror image
        {100, 400, 0}, {101, 400, 1}, {356, 400, 0}, {355, 400, 1},
        {130, 420, 0}, {130, 419, 1}, {130, 383, 0}, {130, 384, 1},
    };
    for (const auto& [x, y, over] : probes) {
        frame(0, 0, false); // away first, so entering plays the hover sound
        frame(x, y, false);
        EXPECT_EQ(over, plays(hover)) << "mouse " << x << "," << y;
    }

    const struct {
        Kind kind;
        float captionLeft, captionTop; // whole units: the widget stands at x 100.75
    } kinds[] = {{Kind::Text, 236, 207}, {Kind::Picture, 103, 196}};
    // Per frame: pointer over the widget, left button held, hover and click sounds played.
    struct Step { bool over, held; int hoverPlays, clickPlays; };
    const struct { const char* name; bool listening; std::vector<Step> steps; } scenarios[] = {
        {"pressed and released over it: one click, on the release", true,
         {{false, false, 0, 0}, {true, false, 1, 0}, {true, true, 0, 0}, {true, true, 0, 0}, {true, false, 0, 1},
          {true, false, 0, 0}}},
        {"dragged off and back while held, released over it", true,
         {{true, true, 1, 0}, {false, true, 0, 0}, {true, true, 1, 0}, {true, false, 0, 1}}},
        {"released away, back with the button up: no click", true,
         {{true, true, 1, 0}, {false, true, 0, 0}, {false, false, 0, 0}, {true, false, 1, 0}, {true, false, 0, 0}}},
        {"no listener: the click sounds once, the resting pointer repeats nothing", false,
         {{true, true, 1, 0}, {true, false, 0, 1}, {true, false, 0, 0}, {true, false, 0, 0}}},
    };
    for (const auto& kind : kinds) {
        for (const auto& scenario : scenarios) {
            SCOPED_TRACE(::testing::Message() << "picture " << (kind.kind == Kind::Picture) << ": " << scenario.name);
            RecordingListener listener;
            make(kind.kind, 100.75f, scenario.listening ? &listener : nullptr);
            std::size_t clicks = 0;
            for (std::size_t i = 0; i < scenario.steps.size(); ++i) {
                const Step& step = scenario.steps[i];
                const auto drawn = frame(step.over ? 130 : 20, 400, step.held);
                EXPECT_EQ(step.hoverPlays, plays(hover)) << "frame " << i;
                EXPECT_EQ(step.clickPlays, plays(click)) << "frame " << i;
                clicks += static_cast<std::size_t>(step.clickPlays);
                const TextLine caption{kind.captionLeft, kind.captionTop, "AB", step.over};
                EXPECT_EQ(std::vector<TextLine>{caption}, textLines(drawn)) << "frame " << i;
            }
            EXPECT_EQ(std::vector<Action>(scenario.listening ? clicks : 0, {"Game", "lvl.txt"}), listener.actions);
        }
    }
}

} // namespace
