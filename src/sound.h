#pragma once

#include "resource.h"

#include <SDL/SDL_mixer.h>

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

private:
    Mix_Chunk* chunk = nullptr;
};
