// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "menu/menuecopyright.h"

#include "menu/menuemain.h"

namespace {

// Short enough to end left of the buttons in an 800 wide window. The
// copyright line is the screen's text, not this file's notice: REUSE skips it.
// REUSE-IgnoreStart
constexpr MenueImpl::TextLine credits[] = {
    {"All work done by the Kerbolt team.", 200},
    {"The README file tells you more.", 220},
    {"Greetings to everyone who plays it!", 240},
    {"Copyright (c) 2008 the Kerbolt team", 260},
    {"Send comments to our issue tracker.", 300},
};
// REUSE-IgnoreEnd

} // namespace

void MenueCopyright::start(Menue* menue)
{
    MenueMain::addMainButtons(items, listenerOf(menue));
    focus.setButtons(buttonsOf(items));
}

void MenueCopyright::stop()
{
    focus.clear();
    stopAll(items);
}

void MenueCopyright::update()
{
    focus.update();
    updateAll(items);
    writeTitleAndLines("the Copyrights", credits);
}
