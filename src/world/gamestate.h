// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

// What a round answers the application every frame. The medal values 1 to 3
// are also the numbers stored in the savegame, so they must not change.
enum class GAME_STATE : int32_t {
    RUNNING = 0,
    BRONZE = 1,
    SILVER = 2,
    GOLD = 3,
    LOST = 4,
};

// "RUNNING", "BRONZE", ...; "UNKNOWN" for a value outside the list.
const char* gameStateName(GAME_STATE state);
