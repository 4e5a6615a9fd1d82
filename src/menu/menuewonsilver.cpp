// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "menu/menuewonsilver.h"

MenueWonSilver::MenueWonSilver() : MenueResult("You have won Silver!", "Not bad! Not bad!") {}
