// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/audio.h"

#include "engine/config.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace {
// Mixing channel 1 plays at half the mixer's maximum of 128.
constexpr int quietChannel = 1;
constexpr int quietVolume = 64;
// The rate of every sound the game ships.
constexpr int soundRate = 44100;
} // namespace

void Audio::start()
{
    if (SDL_WasInit(SDL_INIT_AUDIO) == 0 && SDL_Init(SDL_INIT_AUDIO) != 0)
        throw std::runtime_error("src/audio: Could not init Audio Mode. Error in SDL_Init().");

    const int32_t frequency = Config::get("audio_frequency");
    const int32_t channels = Config::get("audio_channels");
    const int32_t chunkSize = Config::get("audio_chunksize");

    // 0 lets SDL choose its default rate. Any other rate must be one the
    // game's 44100 Hz sounds can be converted to, or the mixer would crash at
    // the first sound; and SDL's silent driver, whose thread waits a buffer's
    // length between buffers, would wait almost forever at a rate of 1 Hz or
    // below zero, so that closing the mixer would never end.
    if (frequency != 0 && !rateConvertible(soundRate, frequency))
        throw std::runtime_error("src/audio: Could not init Audio Mode. The configured rate of " +
                                 std::to_string(frequency) + " Hz is too far from the sounds' " +
                                 std::to_string(soundRate) + " Hz.");
    // Signed 16-bit samples in the machine's own byte order; the mixer
    // converts every loaded effect to it.
    if (Mix_OpenAudio(frequency, AUDIO_S16SYS, channels, chunkSize) != 0)
        throw std::runtime_error("src/audio: Could not init Audio Mode. Error in Mix_OpenAudio().");
    Mix_AllocateChannels(mixingChannels);
    Mix_Volume(quietChannel, quietVolume);
}

bool Audio::rateConvertible(int soundRate, int mixerRate)
{
    const auto sound = static_cast<int64_t>(soundRate), mixer = static_cast<int64_t>(mixerRate);
    return sound > 0 && mixer > 0 && sound <= mixer * maximumRateFactor && mixer <= sound * maximumRateFactor;
}

bool Audio::update()
{
    return false;
}

void Audio::stop()
{
    Mix_CloseAudio();
}
