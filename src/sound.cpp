#include "sound.h"

#include <cstdint>
#include <optional>
#include <string>

Sound::~Sound()
{
    freeData();
}

namespace {

// The sample rate a WAV file's header gives, or nothing when SDL cannot read
// the file as a WAV (other formats are left to the mixer). Leaves the reader
// at the start of the file.
std::optional<int> wavRate(SDL_RWops* reader)
{
    SDL_AudioSpec wavFormat{};
    Uint8* samples = nullptr;
    Uint32 length = 0;
    std::optional<int> rate;
    if (SDL_LoadWAV_RW(reader, 0, &wavFormat, &samples, &length)) {
        rate = wavFormat.freq;
        SDL_FreeWAV(samples);
    }
    SDL_RWseek(reader, 0, RW_SEEK_SET);
    return rate;
}

} // namespace

void Sound::loadFile(const std::string& fileName)
{
    name = fileName;
    freeData(); // a second load of the same object must not leak the first chunk
    if (SDL_RWops* reader = SDL_RWFromFile(fileName.c_str(), "rb")) {
        const std::optional<int> rate = wavRate(reader);
        int mixerRate = 0;
        Uint16 format = 0;
        int channels = 0;
        if (rate && Mix_QuerySpec(&mixerRate, &format, &channels) && !rateConvertible(*rate, mixerRate)) {
            SDL_RWclose(reader);
            throw UnloadableResourceException("src/sound: Cannot load Resource " + fileName + ". Its rate of " +
                                              std::to_string(*rate) + " Hz is too far from the mixer's " +
                                              std::to_string(mixerRate) + " Hz.");
        }
        // The mixer closes the reader (freesrc 1), also when it cannot decode.
        chunk = Mix_LoadWAV_RW(reader, 1);
    }
    if (!chunk)
        throw UnloadableResourceException("src/sound: Cannot load Resource " + fileName);
}

bool Sound::rateConvertible(int soundRate, int mixerRate)
{
    const auto sound = static_cast<int64_t>(soundRate), mixer = static_cast<int64_t>(mixerRate);
    return sound > 0 && mixer > 0 && sound <= mixer * maximumRateFactor && mixer <= sound * maximumRateFactor;
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
