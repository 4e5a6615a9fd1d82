// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "menu/menueimpl.h"

class ActionListener;

// The first screen: a welcome text on the left, and on the right the three
// buttons ".start game", ".copyrights" and ".quit game".
class MenueMain : public MenueImpl {
public:
    void start(Menue* menue) override;
    void stop() override;
    void update() override;

    const Widgets& getItems() const { return items; }

    // Appends the three buttons the main, credits and result screens share,
    // 256 by 37 at x = window_width - 250 with bottom edges at 220, 170 and
    // 120, sending ("Menue", "LVL"), ("Menue", "Copyright") and ("Menue", "Quit").
    static void addMainButtons(Widgets& items, ActionListener* listener);

private:
    Widgets items;
};
