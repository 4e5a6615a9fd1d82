#include "resourcemanager.h"
#include "sound.h"

#include "tempdir.h"

#include <gtest/gtest.h>

namespace {

TEST(Sound, HoldersShareOneChunkWhichGoesWithTheLastAndBrokenFilesFallBack)
{
    ScopedWorkDir dir;
    ResourceManager& manager = ResourceManager::getInstance();
    dir.writeFile("jump.wav", wavFile(100));
    Sound* first = manager.getResource<Sound>("jump.wav");
    Sound* second = manager.getResource<Sound>("jump.wav");
    ASSERT_TRUE(first == second && first->getChunk() && first->getRefCount() == 2);
    const Uint32 length = first->getChunk()->alen;
    const int channel = Mix_PlayChannel(-1, first->getChunk(), 0);
    EXPECT_NE(channel, Mix_PlayChannel(-1, second->getChunk(), 0));
    EXPECT_GE(channel, 0);
    manager.releaseResource(first);
    manager.releaseResource(second);
    EXPECT_EQ(0u, manager.getResourceCount());
    EXPECT_EQ(0, Mix_Playing(-1)) << "freeing the chunk stops its channels";

    dir.writeFile("jump.wav", wavFile(200));
    Sound* again = manager.getResource<Sound>("jump.wav");
    EXPECT_EQ(2 * length, again->getChunk()->alen) << "the file is read again";
    manager.releaseResource(again);

    dir.writeFile(Sound::defaultFile, wavFile(50));
    dir.writeFile("noise.wav", "RIFF but not a wave");
    for (const char* file : {"gone.wav", "noise.wav"}) {
        Sound* sound = nullptr;
        EXPECT_EQ(std::string("src/sound: Cannot load Resource ") + file + "\nLoading standardfile instead...\n",
                  capturedStdout([&] { sound = manager.getResource<Sound>(file); }));
        EXPECT_TRUE(sound->getName() == Sound::defaultFile && sound->getChunk()) << file;
        manager.releaseResource(sound);
    }
}

} // namespace
