// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The height-field description: four records of names and numbers.

#include "fuzzinput.h"
#include "world/heightmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    TokenReader reader = readerOf(data, size, "resources/heightmaps/fuzz.txt");
    Heightmap terrain;
    terrain.readDescription(reader);
    // Without a grid the height has a defined answer whatever the scales.
    FUZZ_CHECK(terrain.heightAt(terrain.getScaleX(), terrain.getMeshScale()) == 0.0f);
    return 0;
}
