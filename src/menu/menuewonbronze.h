// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "menu/menueresult.h"

// The result screen shown after a round won with bronze.
class MenueWonBronze : public MenueResult {
public:
    MenueWonBronze();
};
