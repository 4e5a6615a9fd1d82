// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "menu/menuemain.h"

#include "engine/config.h"

namespace {

constexpr MenueImpl::TextLine story[] = {
    {"This is the new Version of the well known game 'Kerbolt'.", 180},
    {"You still play the small character called 'Pimbo'. The bad news is,", 200},
    {"that the nuclear bomb didn`t finish exploding yet. So your turn is to", 220},
    {"flee from the Bomb and jump to a safe spot! I hope you can escape!", 240},
};

int32_t buttonsLeft()
{
    return Config::get("window_width") - 250;
}

} // namespace

void MenueMain::start(Menue* menue)
{
    addMainButtons(items, listenerOf(menue));
    focus.setButtons(buttonsOf(items));
}

void MenueMain::stop()
{
    focus.clear();
    stopAll(items);
}

void MenueMain::update()
{
    focus.update();
    updateAll(items);
    writeTitleAndLines("Welcome to Kerbolt 2008!", story);
}

void MenueMain::addMainButtons(Widgets& items, ActionListener* listener)
{
    addMenueButton(items, Point2D(buttonsLeft(), 220), ".start game", listener, "LVL");
    addMenueButton(items, Point2D(buttonsLeft(), 170), ".copyrights", listener, "Copyright");
    addMenueButton(items, Point2D(buttonsLeft(), 120), ".quit game", listener, "Quit");
}
