// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/config.h"

#include "engine/tokenreader.h"

#include <functional>
#include <stdexcept>
#include <unordered_map>

namespace {

// Lets get() look keys up by string_view, so a per-frame lookup allocates nothing.
struct KeyHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
};

using KeyTable = std::unordered_map<std::string, int32_t, KeyHash, std::equal_to<>>;

KeyTable& table()
{
    static KeyTable values;
    return values;
}

} // namespace

void Config::load(const std::string& fileName)
{
    TokenReader reader(fileName);
    read(reader);
}

void Config::read(TokenReader& reader)
{
    while (!reader.atEnd()) {
        std::string key = reader.readString();
        if (key.empty())
            break; // only trailing white space was left
        const int32_t value = reader.readInt();
        table()[std::move(key)] = value;
    }
}

int32_t Config::get(std::string_view key)
{
    const auto entry = table().find(key);
    if (entry == table().end())
        throw std::runtime_error("src/config: Configfile does not contain '" + std::string(key) + "'");
    return entry->second;
}

void Config::clear()
{
    table().clear();
}
