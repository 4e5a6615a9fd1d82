// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "menu/imagebutton.h"

#include "resources/resourcemanager.h"
#include "resources/sound.h"
#include "resources/texture2d.h"

#include <GL/gl.h>

namespace {

// The caption's top-left corner relative to the left and bottom edges.
constexpr float captionFromLeft = 3.0f;
constexpr float captionAboveBottom = 16.0f;

} // namespace

void ImageButton::start(const Point2D& newPosition, const Point2D& newSize, const std::string& newText,
                        const std::string& imageFile, const std::string& clickSoundFile,
                        const std::string& hoverSoundFile)
{
    MenueItem::start(newPosition, newSize);
    text = newText;
    image = Held<Texture2D>(imageFile);
    clickSound = Held<Sound>(clickSoundFile);
    hoverSound = Held<Sound>(hoverSoundFile);
}

void ImageButton::update()
{
    if (!box)
        return;
    // The picture is stored mirrored in both directions.
    beginDrawing(image.get());
    drawQuad({{{1.0f, 1.0f}, {0.0f, 1.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}}});

    glBindTexture(GL_TEXTURE_2D, gui ? gui->getId() : 0);
    const bool over = pointerOver();
    if (lit(over))
        drawQuad({{{0.0f, 0.5f}, {0.5f, 0.5f}, {0.5f, 1.0f}, {0.0f, 1.0f}}});
    else
        drawQuad({{{0.5f, 0.5f}, {1.0f, 0.5f}, {1.0f, 1.0f}, {0.5f, 1.0f}}});

    writeCaption(text, position.x + captionFromLeft, position.y + captionAboveBottom, lit(over));

    handlePointer(over, lit(over), hoverSound.get());
    glDisable(GL_BLEND);
}

void ImageButton::press()
{
    play(clickSound.get());
    sendAction();
}

void ImageButton::stop()
{
    MenueItem::stop();
    image.reset();
    clickSound.reset();
    hoverSound.reset();
}
