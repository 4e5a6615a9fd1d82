// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "resources/resource.h"

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

    // The sample rate in the format chunk of a RIFF WAVE file, as a signed
    // 32-bit number; nothing when the file is no such file or its format
    // chunk is missing or cut short.
    static std::optional<int> headerRate(const std::string& fileName);

private:
    Mix_Chunk* chunk = nullptr;
};
