// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "menu/menueitem.h"
#include "resources/resourcemanager.h"

// A picture button (a level's thumbnail): the picture fills the rectangle
// in every frame, and a frame from the lower half of the widget texture is
// drawn over it, its left half while the pointer is over the button, its
// right half while it is away. The caption stands 3 units right of the
// left edge and 16 above the bottom edge, highlighted while hovered.
class ImageButton : public MenueItem {
public:
    using MenueItem::start;
    // The base start, then the caption and holds on the picture and the sounds.
    virtual void start(const Point2D& position, const Point2D& size, const std::string& text,
                       const std::string& imageFile, const std::string& clickSoundFile,
                       const std::string& hoverSoundFile);
    void update() override;
    void press() override;
    // The base stop, then the picture, the click and the hover sound.
    void stop() override;

    const std::string& getText() const { return text; }

private:
    Held<Texture2D> image;
    Held<Sound> clickSound;
    Held<Sound> hoverSound;
    std::string text;
};
