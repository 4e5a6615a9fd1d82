// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "resources/sound.h"

#include "engine/audio.h"
#include "platform/platform.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>

Sound::~Sound()
{
    freeData();
}

namespace {

uint32_t littleEndian(const unsigned char* bytes, int count)
{
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

} // namespace

std::optional<int> Sound::headerRate(const std::string& fileName)
{
    std::ifstream file(fileName, std::ios::binary);
    unsigned char riff[12];
    if (!file.read(reinterpret_cast<char*>(riff), sizeof riff) || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0)
        return std::nullopt;
    // Chunks: a four-byte id, a 32-bit length, the contents padded to an even length.
    unsigned char header[8];
    while (file.read(reinterpret_cast<char*>(header), sizeof header)) {
        const uint32_t length = littleEndian(header + 4, 4);
        if (std::memcmp(header, "fmt ", 4) == 0) {
            // Format tag (2 bytes), channels (2), then the rate (4).
            unsigned char format[8];
            if (length < sizeof format || !file.read(reinterpret_cast<char*>(format), sizeof format))
                return std::nullopt;
            return static_cast<int32_t>(littleEndian(format + 4, 4));
        }
        file.seekg(static_cast<std::streamoff>(length) + (length & 1), std::ios::cur);
    }
    return std::nullopt;
}

void Sound::loadFile(const std::string& fileName)
{
    name = fileName;
    freeData(); // a second load of the same object must not leak the first chunk
    const std::optional<int> rate = headerRate(fileName);
    const std::optional<int> mixerRate = Platform::mixerRate();
    if (rate && mixerRate && !Audio::rateConvertible(*rate, *mixerRate))
        throw UnloadableResourceException("src/sound: Cannot load Resource " + fileName + ". Its rate of " +
                                          std::to_string(*rate) + " Hz is too far from the mixer's " +
                                          std::to_string(*mixerRate) + " Hz.");
    chunk = Platform::loadSound(fileName);
    if (!chunk)
        throw UnloadableResourceException("src/sound: Cannot load Resource " + fileName);
}

void Sound::loadDefault()
{
    loadFile(defaultFile);
}

void Sound::freeData()
{
    Mix_FreeChunk(chunk);
    chunk = nullptr;
}

Mix_Chunk* Sound::getChunk() const
{
    return chunk;
}
