// The real executable, started in a temporary directory under the test's X server.

#include "engineenvironment.h"
#include "program.h"
#include "tempdir.h"

#include <gtest/gtest.h>

namespace {

const std::string executable = KERBOLT_EXECUTABLE;

// Runs the game in a fresh directory, with this configuration file unless it
// is empty, and expects it to end with status 1 and exactly this error line.
void expectFatal(const std::string& config, const std::string& message,
                 const std::map<std::string, std::string>& environment = {})
{
    ScopedWorkDir dir;
    if (!config.empty())
        dir.writeFile("resources/config.cfg", config);
    expectFatalRun(executable, dir.path(), {message}, environment);
}

TEST(Program, AMissingConfigurationKeyOrAudioDeviceEndsItWithTheMessage)
{
    expectFatal("", "Cannot open or create file 'resources/config.cfg'");
    for (const std::string key : {"window_width", "window_height", "fullscreen", "renderer_width", "renderer_height",
                                  "audio_frequency", "audio_channels", "audio_chunksize"})
        expectFatal(configText({}, {key}), "src/config: Configfile does not contain '" + key + "'");
    // sdl12-compat refuses an unknown audio driver at SDL_Init already, the
    // original SDL 1.2 only when the mixer opens the device.
    const std::string refusedIn = onSdl12Compat() ? "SDL_Init()" : "Mix_OpenAudio()";
    expectFatal(configText(), "src/audio: Could not init Audio Mode. Error in " + refusedIn + ".",
                {{"SDL_AUDIODRIVER", "no-such-driver"}});
}

// Without any picture, not even the one that stands in for missing ones,
// the game cannot show its loading screen and ends at once.
TEST(Program, WithoutItsResourcesItEndsWithTheMessageOfTheFirstMissingPicture)
{
    expectFatal(configText(), "src/image: Cannot load Resource resources/textures/standardpic.png. Cannot find that file.",
                {{"SDL_AUDIODRIVER", "dummy"}});
}

// Windows, screens, clicks and keys of the running game: endtoend_test.cpp.

} // namespace
