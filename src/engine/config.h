// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class TokenReader;

// The settings of resources/config.cfg: whitespace-separated pairs of a key
// and a decimal integer. Class-level only; there are no built-in defaults.
class Config {
public:
    Config() = delete;

    // Reads key/value pairs until the end of the file; a later key overwrites
    // an earlier one. A value without digits stores 0 and leaves the
    // offending characters to be read as the next key.
    // Throws std::runtime_error when the file cannot be opened.
    static void load(const std::string& fileName);
    // The same for text the reader already holds: the pairs it has left.
    static void read(TokenReader& reader);

    // Throws std::runtime_error("src/config: Configfile does not contain '<key>'").
    static int32_t get(std::string_view key);

    static void clear();
};
