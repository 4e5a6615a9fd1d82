#include "audio.h"

#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>

namespace {

TEST(Audio, OpensTheConfiguredDeviceWithSixteenChannels)
{
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    ASSERT_EQ(1, Mix_QuerySpec(&frequency, &format, &channels));
    EXPECT_EQ(44100, frequency);
    EXPECT_EQ(2, channels);
    EXPECT_EQ(AUDIO_S16SYS, format);

    EXPECT_EQ(16, Mix_AllocateChannels(-1));
    EXPECT_EQ(64, Mix_Volume(1, -1));
    for (int channel : {0, 2, Audio::walkingChannel})
        EXPECT_EQ(MIX_MAX_VOLUME, Mix_Volume(channel, -1)) << "channel " << channel;
}

} // namespace
