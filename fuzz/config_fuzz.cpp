// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The configuration: key/value pairs up to the end of the text.

#include "engine/config.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    Config::clear();
    TokenReader reader = readerOf(data, size, "resources/config.cfg");
    Config::read(reader);
    FUZZ_CHECK(reader.atEnd());
    // Whatever value it got, the first key is there: get() must not throw.
    TokenReader first = readerOf(data, size, "resources/config.cfg");
    if (const std::string key = first.readString(); !key.empty())
        Config::get(key);
    return 0;
}
