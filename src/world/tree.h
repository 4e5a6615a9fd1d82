// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// A placeholder for vegetation on the terrain; nothing creates it yet.
class Tree {};
