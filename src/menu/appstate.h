// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

// The state of the application and of the menu controller. The numbers are
// part of the interface: the application opens a new menu with 4 at start
// and with 7 to 10 after a round; 3 is deliberately unassigned. PAUSED is
// the application's own: a round that stands still until the player goes on.
enum class APP_STATE : int32_t {
    GAME = 0,
    MENUE = 1,
    LOADGAME = 2,
    MENUE_MAIN = 4,
    MENUE_LVL = 5,
    MENUE_COPYRIGHT = 6,
    MENUE_LOST = 7,
    MENUE_BRONZE = 8,
    MENUE_SILVER = 9,
    MENUE_GOLD = 10,
    SHUTDOWN = 11,
    PAUSED = 12,
};
