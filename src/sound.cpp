#include "sound.h"

Sound::~Sound()
{
    freeData();
}

void Sound::loadFile(const std::string& fileName)
{
    name = fileName;
    freeData(); // a second load of the same object must not leak the first chunk
    // The mixer closes the reader (freesrc 1), also when it cannot decode.
    if (SDL_RWops* reader = SDL_RWFromFile(fileName.c_str(), "rb"))
        chunk = Mix_LoadWAV_RW(reader, 1);
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
