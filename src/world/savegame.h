// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "world/gamestate.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class TokenReader;

// The seven levels and the file that keeps the best medal won in each.
//
// resources/savegame holds one decimal number per level, in level-list
// order, each followed by one blank: 0 no medal, 1 bronze, 2 silver,
// 3 gold (any other value counts as gold). The level selection offers
// level i exactly when the file has an entry i.
namespace Savegame {

constexpr const char* fileName = "resources/savegame";
// The new contents are written here first and then renamed over the
// savegame, so the file is always either the old one or the new one.
constexpr const char* temporaryFileName = "resources/savegame.new";
// Held locked (flock, exclusive) by a save from its read to its rename, so
// that two games saving at once take turns: each one's merge starts from the
// other's result, and only the writer holding the lock uses the temporary
// file. An empty file, made on the first save and never removed (removing it
// would let two savers lock two different files).
constexpr const char* lockFileName = "resources/savegame.lock";

struct Level {
    const char* title;     // the level button's caption
    const char* levelFile; // sent with "Game"; matched exactly when saving
    const char* thumbnail;
};

// The order of the savegame's entries and of the level buttons. Titles, level
// files and thumbnails do not run in step ("Level 4" plays lvl1b.txt).
constexpr std::array<Level, 7> levels = {{
    {"Level 1", "resources/lvls/lvl1.txt", "resources/textures/lvls/lvl1_thumb.png"},
    {"Level 2", "resources/lvls/lvl2.txt", "resources/textures/lvls/lvl2_thumb.png"},
    {"Level 3", "resources/lvls/lvl3.txt", "resources/textures/lvls/lvl3_thumb.png"},
    {"Special Level", "resources/lvls/lvlSpecial.txt", "resources/textures/lvls/lvl4_thumb.png"},
    {"Level 4", "resources/lvls/lvl1b.txt", "resources/textures/lvls/lvl5_thumb.png"},
    {"Level 5", "resources/lvls/lvl2b.txt", "resources/textures/lvls/lvl6_thumb.png"},
    {"Level 6", "resources/lvls/lvl3b.txt", "resources/textures/lvls/lvl7_thumb.png"},
}};

// Every entry of the file, in order. Entries are whitespace-separated
// decimal integers (optional sign, 32 bits, wrapping beyond). A word that is
// not a number (a lone sign too) reads as a number in its place would, with
// the value 0, so the entries after it keep their places ("3x" and "3 x 2"
// give [3, 0] and [3, 0, 2]). Exactly one white space character after the
// last entry ends the file; with more, one further entry 0 is read, as the
// game always has ("3  " gives [3, 0]).
// Throws std::runtime_error("Cannot open or create file '<name>'") when the
// file cannot be opened.
std::vector<int32_t> read(const std::string& file = fileName);
// The same for text the reader already holds.
std::vector<int32_t> read(TokenReader& reader);

// The seven entries after a round in levelFile was won with medal (1 to 3):
// the matching level's entry is raised to medal unless it is already as
// good or better; entries missing from `entries` count as 0 and those after
// the seventh are dropped.
std::array<int32_t, levels.size()> mergeMedal(const std::vector<int32_t>& entries, const std::string& levelFile,
                                             GAME_STATE medal);

// "3 0 0 0 1 0 0 ": each entry in decimal followed by one blank.
std::string format(const std::array<int32_t, levels.size()>& entries);

// The two steps of writing the savegame safely, apart so that a test can end
// a process between them. Each answers the step that failed ("create",
// "write", "sync" and "close", or "rename") with errno set, or nullptr; a
// failed step may leave the temporary file behind.
// Removes a temporary file left by an earlier save, creates a new one
// (never following a link at that name), writes text and flushes it.
const char* writeTemporaryFile(const std::string& text);
// Renames the temporary file over the savegame and syncs the folder, so the
// rename survives a power cut.
const char* renameTemporaryFile();

// Reads the savegame, merges the medal and writes it back safely, all while
// holding the lock file. Throws the open error when the savegame cannot be
// read; a failed write, or a lock that cannot be taken within a few seconds,
// leaves the old file as it was, prints one line naming the file on standard
// error and answers false.
bool saveMedal(const std::string& levelFile, GAME_STATE medal);

} // namespace Savegame
