// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "menu/menuewonbronze.h"

MenueWonBronze::MenueWonBronze() : MenueResult("You have won Bronze!", "You can do that better!") {}
