// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "world/gamestate.h"

const char* gameStateName(GAME_STATE state)
{
    switch (state) {
    case GAME_STATE::RUNNING:
        return "RUNNING";
    case GAME_STATE::BRONZE:
        return "BRONZE";
    case GAME_STATE::SILVER:
        return "SILVER";
    case GAME_STATE::GOLD:
        return "GOLD";
    case GAME_STATE::LOST:
        return "LOST";
    }
    return "UNKNOWN";
}
