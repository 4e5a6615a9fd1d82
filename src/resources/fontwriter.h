// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/singleton.h"
#include "resources/resourcemanager.h"
#include "resources/texturefont.h"
#include "engine/unit.h"

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

// The one text writer: holds the game's four fonts, keeps one of them
// current and draws byte strings with it as textured quads in the 2D
// projection, all quads of a string in one begin/end pair. One font pixel covers one window pixel whatever the renderer
// size; a space is 5 renderer units and every glyph is followed by 1 unit.
class FontWriter : public Unit {
public:
    // In the order selectFont counts them: 17-pixel cells for the first
    // two, 34-pixel cells for the last two.
    static constexpr std::array<const char*, 4> fontFiles = {
        "resources/fonts/nfont_12auf256.png",
        "resources/fonts/nfont_14auf256.png",
        "resources/fonts/nfont_18auf512.png",
        "resources/fonts/nfont_24auf512.png",
    };

    static FontWriter& getInstance() { return SingletonSlot<FontWriter>::get(); }

    // Holds the four fonts and makes the last (24) current.
    void load() override;
    // Gives every font back; write2D throws until the next load.
    void unload() override;
    // Fonts 0 to 3; any other index, negative ones too, changes nothing.
    virtual void selectFont(int32_t index);
    // Chooses the highlight glyphs (on) or the normal ones (off) for the
    // following write2D calls.
    virtual void setHighlight(bool on);
    // Draws text with its first glyph's top-left corner at (x, y) in
    // renderer units; the glyphs hang one cell height below y. Spaces
    // advance 5 units; bytes outside 33 to 145 draw the dollar sign. A
    // glyph that has no highlight cell (code 145) draws its normal glyph.
    // Blends the picture's own colours and alpha, then disables blending
    // and sets the texture environment back to GL_MODULATE. Leaves the
    // model-view matrix translated to the end of the text.
    // Throws std::runtime_error without a current font.
    virtual void write2D(std::string_view text, int32_t x, int32_t y) const;

    // Makes font current, with its scales read from the configuration.
    void setFont(TextureFont& font);

private:
    friend class SingletonSlot<FontWriter>;
    FontWriter() = default;

    const GlyphCorners& glyphFor(unsigned char byte) const;
    // Emits one glyph's quad, inside glBegin(GL_QUADS), with its top-left
    // corner at x = left on the current point's line; answers its width.
    float drawGlyph(const GlyphCorners& glyph, float left) const;

    float scaleX = std::numeric_limits<float>::quiet_NaN();
    float scaleY = std::numeric_limits<float>::quiet_NaN();
    TextureFont* currentFont = nullptr;
    std::vector<Held<TextureFont>> fonts;
    bool highlight = false;
};
