// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

// Receives the actions of the menus: pairs of a sender name and a command,
// compared as exact byte strings. The pairs the program sends:
//     ("Menue", "LVL")        open the level selection
//     ("Menue", "Main")       open the main screen
//     ("Menue", "Copyright")  open the credits screen
//     ("Menue", "Quit")       end the program
//     ("Game", level file)    play that level, e.g. "resources/lvls/lvl1.txt"
//     ("Menue", "ShutDown")   the menu controller asks the application to end
// A receiver only records what to do and acts on its next update, so no
// screen is destroyed while one of its widgets is still running.
class ActionListener {
public:
    virtual ~ActionListener();
    virtual void actionPerformed(const std::string& sender, const std::string& command) = 0;
};
