// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "singleton.h"
#include "task.h"

// Opens and closes the SDL_mixer device (audio_frequency, audio_channels,
// audio_chunksize from the configuration). Sounds play themselves on its
// 16 mixing channels; channel 15 is the player's walking sound.
class Audio : public Task {
public:
    static constexpr int mixingChannels = 16;
    static constexpr int walkingChannel = 15;

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
