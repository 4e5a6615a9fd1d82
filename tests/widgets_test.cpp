// The two widget kinds driven with pushed mouse events: hit box, sounds,
// clicks and what they draw.

#include "actionlistener.h"
#include "button.h"
#include "config.h"
#include "fontwriter.h"
#include "image.h"
#include "imagebutton.h"
#include "renderer.h"
#include "resourcemanager.h"
#include "sound.h"

#include "engineenvironment.h"
#include "glcapture.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <SDL/SDL_mixer.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <tuple>

namespace {

constexpr const char* clickFile = "resources/sounds/click.wav";
constexpr const char* hoverFile = "resources/sounds/hover.wav";

struct RecordingListener : ActionListener {
    void actionPerformed(const std::string& sender, const std::string& command) override
    {
        actions.emplace_back(sender, command);
    }
    std::vector<std::pair<std::string, std::string>> actions;
};

enum class Kind { Text, Picture };

class WidgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::copy(std::filesystem::path(KERBOLT_SOURCE_DIR) / "resources", "resources",
                              std::filesystem::copy_options::recursive);
        dir.writeFile("resources/config.cfg", configText({{"window_height", 600}}));
        Config::load("resources/config.cfg");
        // Five seconds: still playing when a frame's sounds are counted.
        dir.writeFile(clickFile, wavFile(110250));
        dir.writeFile(hoverFile, wavFile(110250));
        FontWriter::getInstance().load();
        Renderer::getInstance().setOrtho();
        click = manager.getResource<Sound>(clickFile);
        hover = manager.getResource<Sound>(hoverFile);
    }
    void TearDown() override
    {
        if (widget)
            widget->stop();
        manager.releaseResource(click);
        manager.releaseResource(hover);
        FontWriter::getInstance().unload();
        Mix_HaltChannel(-1);
    }

    // A started widget at (x, 180) captioned "AB", sending ("Game", "lvl.txt").
    void make(Kind kind, float x, ActionListener* listener)
    {
        Point2D position(0, 180);
        position.x = x;
        if (kind == Kind::Text) {
            auto button = std::make_unique<Button>();
            button->start(position, Point2D(256, 37), "AB", clickFile, hoverFile);
            widget = std::move(button);
        } else {
            auto button = std::make_unique<ImageButton>();
            button->start(position, Point2D(128, 128), "AB", Image::defaultFile, clickFile, hoverFile);
            widget = std::move(button);
        }
        widget->setActionListener(listener, "Game", "lvl.txt");
    }

    // One frame with the pointer at window pixel (x, y), y downwards, after
    // the sounds of earlier frames were stopped; answers what the widget drew.
    std::vector<FeedbackPrimitive> frame(int x, int y, bool held)
    {
        Mix_HaltChannel(-1);
        pushEvent(SDL_MOUSEMOTION, x, y);
        pushEvent(held ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
        EngineEnvironment::runEngineFrame();
        return captureFeedback([this] { widget->update(); });
    }

    static int plays(const Sound* sound)
    {
        int count = 0;
        for (int channel = 0; channel < Mix_AllocateChannels(-1); ++channel)
            count += Mix_Playing(channel) && Mix_GetChunk(channel) == sound->getChunk();
        return count;
    }

    ScopedWorkDir dir;
    ResourceManager& manager = ResourceManager::getInstance();
    const Sound* click = nullptr;
    const Sound* hover = nullptr;
    std::unique_ptr<MenueItem> widget;
};

TEST_F(WidgetTest, PointerCountsAsOverStrictlyInsideWithTheMouseYTurnedUp)
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
}

TEST_F(WidgetTest, TextureBandsAndCaptionFollowThePointer)
{
    // Corner (0 bottom-left, 1 bottom-right, 2 top-right, 3 top-left) and its
    // texture coordinates in millionths.
    using Corners = std::set<std::tuple<int, long, long>>;
    constexpr long m = 1000000, band1 = 148438, band2 = 292969;
    const Corners picture = {{0, m, m}, {1, 0, m}, {2, 0, 0}, {3, m, 0}}; // stored mirrored
    const struct {
        Kind kind;
        bool over;
        Corners frame;
        float captionLeft, captionTop; // whole units: the widget stands at x 100.75
    } rows[] = {
        {Kind::Text, false, {{0, 0, 0}, {1, m, 0}, {2, m, band1}, {3, 0, band1}}, 236, 207},
        {Kind::Text, true, {{0, 0, band1}, {1, m, band1}, {2, m, band2}, {3, 0, band2}}, 236, 207},
        {Kind::Picture, false, {{0, m / 2, m / 2}, {1, m, m / 2}, {2, m, m}, {3, m / 2, m}}, 103, 196},
        {Kind::Picture, true, {{0, 0, m / 2}, {1, m / 2, m / 2}, {2, m / 2, m}, {3, 0, m}}, 103, 196},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "picture " << (row.kind == Kind::Picture) << ", over " << row.over);
        make(row.kind, 100.75f, nullptr);
        const Point2D low = widget->getPosition(), high = low + widget->getSize();
        Corners quads;
        float left = INFINITY, top = -INFINITY;
        for (const FeedbackPrimitive& primitive : frame(row.over ? 130 : 20, 400, false)) {
            Corners corners;
            float s = 0, t = 0;
            for (const FeedbackVertex& v : primitive.vertices) {
                const bool atLeft = std::abs(v.x - low.x) < 0.01f, atTop = std::abs(v.y - high.y) < 0.01f;
                if ((atLeft || std::abs(v.x - high.x) < 0.01f) && (atTop || std::abs(v.y - low.y) < 0.01f))
                    corners.emplace(atTop ? (atLeft ? 3 : 2) : (atLeft ? 0 : 1), std::lround(v.s * 1e6),
                                    std::lround(v.t * 1e6));
                s += v.s / static_cast<float>(primitive.vertices.size());
                t += v.t / static_cast<float>(primitive.vertices.size());
            }
            if (corners.size() == primitive.vertices.size()) { // the widget's own quads
                quads.insert(corners.begin(), corners.end());
                continue;
            }
            // A caption glyph: highlight glyphs lie in the odd cells of the font's 15 by 15 grid.
            const int cell = static_cast<int>(t * 15) * 15 + static_cast<int>(s * 15);
            EXPECT_EQ(row.over, cell % 2 == 1) << "cell " << cell;
            for (const FeedbackVertex& v : primitive.vertices)
                left = std::min(left, v.x), top = std::max(top, v.y);
        }
        Corners expected = row.frame;
        if (row.kind == Kind::Picture)
            expected.insert(picture.begin(), picture.end());
        EXPECT_EQ(expected, quads);
        EXPECT_NEAR(row.captionLeft, left, 0.01f);
        EXPECT_NEAR(row.captionTop, top, 0.01f);
        widget->stop();
    }
}

TEST_F(WidgetTest, HoverOnEntryAndClickOnReleaseOverTheWidget)
{
    // Per frame: pointer over the widget, left button held, hover and click sounds played.
    struct Step {
        bool over, held;
        int hoverPlays, clickPlays;
    };
    const struct {
        const char* name;
        bool listening;
        std::vector<Step> steps;
    } scenarios[] = {
        {"pressed and released over it: one click, on the release",
         true,
         {{false, false, 0, 0}, {true, false, 1, 0}, {true, true, 0, 0}, {true, true, 0, 0}, {true, false, 0, 1},
          {true, false, 0, 0}}},
        {"dragged off and back while held, released over it",
         true,
         {{true, true, 1, 0}, {false, true, 0, 0}, {true, true, 1, 0}, {true, false, 0, 1}}},
        {"released away, back with the button up: no click",
         true,
         {{true, true, 1, 0}, {false, true, 0, 0}, {false, false, 0, 0}, {true, false, 1, 0}, {true, false, 0, 0}}},
        {"no listener: the click sounds once, the resting pointer repeats nothing",
         false,
         {{true, true, 1, 0}, {true, false, 0, 1}, {true, false, 0, 0}, {true, false, 0, 0}}},
    };
    for (const Kind kind : {Kind::Text, Kind::Picture}) {
        for (const auto& scenario : scenarios) {
            SCOPED_TRACE(::testing::Message() << "picture " << (kind == Kind::Picture) << ": " << scenario.name);
            RecordingListener listener;
            make(kind, 100, scenario.listening ? &listener : nullptr);
            std::size_t clicks = 0;
            for (std::size_t i = 0; i < scenario.steps.size(); ++i) {
                const Step& step = scenario.steps[i];
                frame(step.over ? 130 : 20, 400, step.held);
                EXPECT_EQ(step.hoverPlays, plays(hover)) << "frame " << i;
                EXPECT_EQ(step.clickPlays, plays(click)) << "frame " << i;
                clicks += static_cast<std::size_t>(step.clickPlays);
            }
            const decltype(listener.actions) expected(scenario.listening ? clicks : 0, {"Game", "lvl.txt"});
            EXPECT_EQ(expected, listener.actions);
            widget->stop();
        }
    }
}

} // namespace
