// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// What the fuzz targets share: the input as a token reader, a check that
// makes libFuzzer keep the input, and the picture encoding of the font target.

#include "engine/tokenreader.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

inline TokenReader readerOf(const uint8_t* data, std::size_t size, const char* name)
{
    return TokenReader::fromText(std::string(reinterpret_cast<const char*>(data), size), name);
}

// A wrong answer the sanitizers cannot see: abort, so the input is saved as a crash.
#define FUZZ_CHECK(condition)                                                                                     \
    do {                                                                                                          \
        if (!(condition)) {                                                                                       \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                  \
            std::abort();                                                                                         \
        }                                                                                                         \
    } while (false)

// A font target input: byte 0 holds the bytes per pixel minus one (bits 0
// and 1), whether alpha tells ink (bit 2) and whether byte 3 is a colour key
// (bit 3); bytes 1 and 2 are the width and the height; the pixel rows follow
// without padding, zero where the input ends early.
namespace FontInput {
constexpr std::size_t headerSize = 4;
constexpr uint8_t depthBits = 0x03;
constexpr uint8_t alphaInk = 0x04;
constexpr uint8_t colourKey = 0x08;
} // namespace FontInput
