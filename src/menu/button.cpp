// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "menu/button.h"

#include "resources/resourcemanager.h"
#include "resources/sound.h"
#include "resources/texture2d.h"

#include <GL/gl.h>

namespace {

// The widget texture's topmost band while the pointer is away, the band
// below it while the pointer is over the button.
constexpr float bandTop = 0.0f;
constexpr float bandMiddle = 0.148438f;
constexpr float bandBottom = 0.292969f;

// The caption's top-left corner relative to the right and bottom edges.
constexpr float captionFromRight = 120.0f;
constexpr float captionAboveBottom = 27.0f;

} // namespace

void Button::start(const Point2D& newPosition, const Point2D& newSize, const std::string& newText,
                   const std::string& clickSoundFile, const std::string& hoverSoundFile)
{
    MenueItem::start(newPosition, newSize);
    text = newText;
    clickSound = Held<Sound>(clickSoundFile);
    hoverSound = Held<Sound>(hoverSoundFile);
}

void Button::update()
{
    if (!box)
        return;
    beginDrawing(gui.get());
    const bool over = pointerOver();
    if (lit(over))
        drawQuad({{{0.0f, bandMiddle}, {1.0f, bandMiddle}, {1.0f, bandBottom}, {0.0f, bandBottom}}});
    else
        drawQuad({{{0.0f, bandTop}, {1.0f, bandTop}, {1.0f, bandMiddle}, {0.0f, bandMiddle}}});

    writeCaption(text, position.x + size.x - captionFromRight, position.y + captionAboveBottom, lit(over));

    handlePointer(over, lit(over), hoverSound.get());
    glDisable(GL_BLEND);
}

void Button::press()
{
    play(clickSound.get());
    sendAction();
}

void Button::stop()
{
    MenueItem::stop();
    clickSound.reset();
    hoverSound.reset();
}
