// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "menufixture.h"

#include "engineenvironment.h"
#include "resources/fontwriter.h"
#include "menu/menuemain.h"
#include "menu/menueresult.h"
#include "world/savegame.h"
#include "resources/sound.h"

#include <SDL/SDL_mixer.h>

#include <algorithm>
#include <cmath>

Rect boundsOf(const FeedbackPrimitive& primitive)
{
    Rect r{INFINITY, INFINITY, -INFINITY, -INFINITY};
    for (const FeedbackVertex& v : primitive.vertices)
        r = {std::min(r.left, v.x), std::min(r.bottom, v.y), std::max(r.right, v.x), std::max(r.top, v.y)};
    for (float* edge : {&r.left, &r.bottom, &r.right, &r.top})
        *edge = std::round(*edge * 100) / 100;
    return r;
}

std::ostream& operator<<(std::ostream& out, const Rect& r)
{
    return out << '(' << r.left << ", " << r.bottom << ") to (" << r.right << ", " << r.top << ')';
}

std::ostream& operator<<(std::ostream& out, const TextLine& line)
{
    return out << '"' << line.text << "\" at (" << line.left << ", " << line.top << ')'
               << (line.highlighted ? " highlighted" : "") << " in font " << line.font;
}

namespace {

struct DrawnLine {
    TextLine line;
    std::vector<Rect> glyphs;
};

// A glyph's texture cell in the font's 15 by 15 grid gives its byte: two cells
// per byte from 33, the highlight glyph in the odd one. A gap wider than the
// one unit after each glyph holds spaces of 5 units.
std::vector<DrawnLine> drawnLines(const std::vector<FeedbackPrimitive>& drawn)
{
    std::vector<DrawnLine> lines;
    Rect previous{};
    for (const FeedbackPrimitive& primitive : drawn) {
        const Rect glyph = boundsOf(primitive);
        if (glyph.right - glyph.left >= 60 || glyph.top - glyph.bottom >= 60 || (!lines.empty() && glyph == previous))
            continue; // a widget, a medal, or another part of the same glyph
        float s = 0, t = 0;
        for (const FeedbackVertex& v : primitive.vertices)
            s += v.s / primitive.vertices.size(), t += v.t / primitive.vertices.size();
        const int cell = static_cast<int>(t * 15) * 15 + static_cast<int>(s * 15);
        if (lines.empty() || glyph.top != lines.back().line.top || glyph.left < previous.right)
            lines.push_back({{glyph.left, glyph.top, "", true}, {}});
        else
            lines.back().line.text.append(std::lround((glyph.left - previous.right - 1) / 5), ' ');
        lines.back().line.text += static_cast<char>(33 + cell / 2);
        lines.back().line.highlighted = lines.back().line.highlighted && cell % 2 == 1;
        lines.back().glyphs.push_back(glyph);
        previous = glyph;
    }
    return lines;
}

} // namespace

std::vector<TextLine> textLines(const std::vector<FeedbackPrimitive>& drawn, bool withFonts)
{
    std::vector<TextLine> lines;
    FontWriter& writer = FontWriter::getInstance();
    for (DrawnLine& drawnLine : drawnLines(drawn)) {
        TextLine& line = drawnLine.line;
        for (int font = 0; withFonts && font < 4 && line.font < 0; ++font) {
            writer.selectFont(font);
            writer.setHighlight(line.highlighted);
            const auto again = drawnLines(captureFeedback([&] {
                writer.write2D(line.text, static_cast<int32_t>(line.left), static_cast<int32_t>(line.top));
            }));
            if (again.size() == 1 && again[0].glyphs == drawnLine.glyphs)
                line.font = font;
        }
        lines.push_back(line);
    }
    return lines;
}

MenuFixture::MenuFixture(const std::filesystem::path& sourceDir)
{
    std::filesystem::copy(sourceDir / "resources", "resources", std::filesystem::copy_options::recursive);
    for (const char* sound : {MenueMain::clickSoundFile, MenueMain::hoverSoundFile, MenueResult::endSoundFile})
        dir.writeFile(sound, wavFile(110250));
    dir.writeFile(Savegame::fileName, "0 0 0 0 0 0 0 ");
    useWindow(800, 600);
    FontWriter::getInstance().load();
    heldBefore = held();
}

MenuFixture::~MenuFixture()
{
    std::string names;
    for (std::size_t i = 0; i < held(); ++i)
        names += " " + ResourceManager::getInstance().getResourceAt(i).getName();
    EXPECT_EQ(heldBefore, held()) << "held once the test has stopped what it started:" << names;
    FontWriter::getInstance().unload();
    Mix_HaltChannel(-1);
    useWindow(640, 480, 640, 480); // configText() as the engine started with
}

void MenuFixture::useWindow(int width, int height, int rendererWidth, int rendererHeight)
{
    restartRenderer(dir, {{"window_width", width}, {"window_height", height}, {"renderer_width", rendererWidth},
                          {"renderer_height", rendererHeight}});
}

void MenuFixture::pointer(int x, int y, bool held)
{
    Mix_HaltChannel(-1);
    pushEvent(SDL_MOUSEMOTION, x, y);
    pushEvent(held ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    EngineEnvironment::runEngineFrame();
}

int MenuFixture::plays(const char* file)
{
    const Held<Sound> sound(file);
    int count = 0;
    for (int channel = 0; channel < Mix_AllocateChannels(-1); ++channel)
        count += Mix_Playing(channel) && Mix_GetChunk(channel) == sound->getChunk();
    return count;
}
