// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "menu/menuewongold.h"

MenueWonGold::MenueWonGold() : MenueResult("You have won Gold!", "Wonderful!") {}
