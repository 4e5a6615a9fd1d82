// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "menu/menueitem.h"
#include "resources/resourcemanager.h"

// A text button drawn on the widget texture's upper bands: one band while
// the pointer is away, the next while it is over, where the caption is
// highlighted too. The caption's top-left corner stands 120 units left of
// the right edge and 27 units above the bottom edge.
class Button : public MenueItem {
public:
    using MenueItem::start;
    // The base start, then the caption and holds on the two sounds.
    virtual void start(const Point2D& position, const Point2D& size, const std::string& text,
                       const std::string& clickSoundFile, const std::string& hoverSoundFile);
    void update() override;
    void press() override;
    // The base stop, then the click and the hover sound.
    void stop() override;

    const std::string& getText() const { return text; }

private:
    std::string text;
    Held<Sound> clickSound;
    Held<Sound> hoverSound;
};
