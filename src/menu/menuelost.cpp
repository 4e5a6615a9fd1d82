// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "menu/menuelost.h"

MenueLost::MenueLost() : MenueResult("Oh.. You have Lost!", "come on! Try again!") {}
