#include "audio.h"

#include "config.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include <stdexcept>

namespace {
// Mixing channel 1 plays at half the mixer's maximum of 128.
constexpr int quietChannel = 1;
constexpr int quietVolume = 64;
} // namespace

void Audio::start()
{
    if (SDL_WasInit(SDL_INIT_AUDIO) == 0 && SDL_Init(SDL_INIT_AUDIO) != 0)
        throw std::runtime_error("src/audio: Could not init Audio Mode. Error in SDL_Init().");

    const int32_t frequency = Config::get("audio_frequency");
    const int32_t channels = Config::get("audio_channels");
    const int32_t chunkSize = Config::get("audio_chunksize");

    // Signed 16-bit samples in the machine's own byte order; the mixer
    // converts every loaded effect to it.
    if (Mix_OpenAudio(frequency, AUDIO_S16SYS, channels, chunkSize) != 0)
        throw std::runtime_error("src/audio: Could not init Audio Mode. Error in Mix_OpenAudio().");
    Mix_AllocateChannels(mixingChannels);
    Mix_Volume(quietChannel, quietVolume);
}

bool Audio::update()
{
    return false;
}

void Audio::stop()
{
    Mix_CloseAudio();
}
