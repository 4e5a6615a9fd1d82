// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "imagebutton.h"

#include "resourcemanager.h"
#include "sound.h"
#include "texture2d.h"

#include <GL/gl.h>

#include <utility>

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
    ResourceManager& manager = ResourceManager::getInstance();
    image = manager.getResource<Texture2D>(imageFile);
    clickSound = manager.getResource<Sound>(clickSoundFile);
    hoverSound = manager.getResource<Sound>(hoverSoundFile);
}

void ImageButton::update()
{
    if (!box)
        return;
    // The picture is stored mirrored in both directions.
    beginDrawing(image);
    drawQuad({{{1.0f, 1.0f}, {0.0f, 1.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}}});

    glBindTexture(GL_TEXTURE_2D, gui != nullptr ? gui->getId() : 0);
    const bool over = pointerOver();
    if (lit(over))
        drawQuad({{{0.0f, 0.5f}, {0.5f, 0.5f}, {0.5f, 1.0f}, {0.0f, 1.0f}}});
    else
        drawQuad({{{0.5f, 0.5f}, {1.0f, 0.5f}, {1.0f, 1.0f}, {0.5f, 1.0f}}});

    writeCaption(text, position.x + captionFromLeft, position.y + captionAboveBottom, lit(over));

    handlePointer(over, lit(over), hoverSound);
    glDisable(GL_BLEND);
}

void ImageButton::press()
{
    play(clickSound);
    sendAction();
}

void ImageButton::stop()
{
    MenueItem::stop();
    ResourceManager& manager = ResourceManager::getInstance();
    manager.releaseResource(std::exchange(image, nullptr));
    manager.releaseResource(std::exchange(clickSound, nullptr));
    manager.releaseResource(std::exchange(hoverSound, nullptr));
}
