// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "resource.h"

#include <SDL/SDL_mixer.h>

#include <optional>
#include <string>

// A WAV file loaded into an SDL_mixer chunk; the caller plays it on a channel
// itself. Falls back to resources/sounds/defaultsound.wav.
class Sound : public Resource {
public:
    static constexpr const char* qualifiedName = "sound.Sound";
    static constexpr const char* defaultFile = "resources/sounds/defaultsound.wav";

    ~Sound() override;

    void loadFile(const std::string& fileName) override;
    void loadDefault() override;
    void freeData() override;

    // Owned by the sound; null before loading and after freeData.
    virtual Mix_Chunk* getChunk() const;

    // Whether the mixer can take a sound recorded at soundRate while it plays
    // at mixerRate (both in Hz): it converts by halving or doubling the rate
    // step by step in a fixed chain of ten steps that it never checks, so a
    // rate far from the mixer's (a damaged header saying 0 Hz, 1 Hz or
    // gigahertz) would overrun that chain and crash the program. Rates within
    // a factor of 16 of each other need at most five steps, leaving room for
    // the format and channel conversions.
    static bool rateConvertible(int soundRate, int mixerRate);
    static constexpr int maximumRateFactor = 16;

    // The sample rate in the format chunk of a RIFF WAVE file, as a signed
    // 32-bit number; nothing when the file is no such file or its format
    // chunk is missing or cut short.
    static std::optional<int> headerRate(const std::string& fileName);

private:
    Mix_Chunk* chunk = nullptr;
};
