// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The savegame: read, merge a medal, write, read again; what was written
// must come back entry for entry.

#include "fuzzinput.h"
#include "world/savegame.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    TokenReader reader = readerOf(data, size, Savegame::fileName);
    const std::vector<int32_t> entries = Savegame::read(reader);

    // The first byte also picks the level won and the medal.
    const unsigned pick = size > 0 ? data[0] : 0;
    const std::size_t level = pick % Savegame::levels.size();
    const auto medal = static_cast<int32_t>(1 + pick / Savegame::levels.size() % 3);
    const auto merged = Savegame::mergeMedal(entries, Savegame::levels[level].levelFile, static_cast<GAME_STATE>(medal));
    for (std::size_t i = 0; i < merged.size(); ++i) {
        const int32_t before = i < entries.size() ? entries[i] : 0;
        FUZZ_CHECK(merged[i] == (i == level ? std::max(before, medal) : before));
    }

    TokenReader written = TokenReader::fromText(Savegame::format(merged), Savegame::fileName);
    const std::vector<int32_t> back = Savegame::read(written);
    FUZZ_CHECK(std::equal(merged.begin(), merged.end(), back.begin(), back.end()));
    return 0;
}
