// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The level file: a free first line, the terrain, the background and the speed.

#include "fuzzinput.h"
#include "world/game.h"

#include <cmath>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    TokenReader reader = readerOf(data, size, "resources/lvls/fuzz.txt");
    try {
        const Game::LevelFile level = Game::readLevelFile(reader);
        FUZZ_CHECK(std::isfinite(level.baseSpeed));
        for (const char c : level.heightFieldName + level.backgroundName)
            FUZZ_CHECK(!TokenReader::isWhiteSpace(c));
    } catch (const std::runtime_error&) {
        // no usable speed: the level is refused
    }
    return 0;
}
