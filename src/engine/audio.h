// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/singleton.h"
#include "engine/task.h"

// Opens and closes the SDL_mixer device (audio_frequency, audio_channels,
// audio_chunksize from the configuration). Sounds play themselves on its
// 16 mixing channels; channel 15 is the player's walking sound.
class Audio : public Task {
public:
    static constexpr int mixingChannels = 16;
    static constexpr int walkingChannel = 15;

    // Whether the mixer can take a sound recorded at soundRate while it plays
    // at mixerRate (both in Hz): it converts by halving or doubling the rate
    // step by step in a fixed chain of ten steps that it never checks, so a
    // rate far from the mixer's (a damaged header saying 0 Hz, 1 Hz or
    // gigahertz) would overrun that chain and crash the program. Rates within
    // a factor of 16 of each other need at most five steps, leaving room for
    // the format and channel conversions.
    static bool rateConvertible(int soundRate, int mixerRate);
    static constexpr int maximumRateFactor = 16;

    static Audio& getInstance() { return SingletonSlot<Audio>::get(); }

    // Throws std::runtime_error when SDL's audio or the mixer cannot open, or
    // when audio_frequency is a rate the game's sounds cannot be converted to.
    void start() override;
    bool update() override;
    void stop() override;

private:
    friend class SingletonSlot<Audio>;
    Audio() = default;
};
