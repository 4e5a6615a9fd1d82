// The real executable, started in a temporary directory under the test's X server.

#include "program.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <cstdlib>
#include <memory>

namespace {

using namespace std::chrono_literals;

const std::string executable = KERBOLT_EXECUTABLE;

// Runs the game in a fresh directory, with this configuration file unless it
// is empty, and expects it to end with status 1 and exactly this error line.
void expectFatal(const std::string& config, const std::string& message,
                 const std::map<std::string, std::string>& environment = {})
{
    ScopedWorkDir dir;
    if (!config.empty())
        dir.writeFile("resources/config.cfg", config);
    RunningProgram program(executable, dir.path(), environment);
    EXPECT_EQ(1, program.waitForExit(20s)) << message;
    EXPECT_EQ("Error: " + message + "\n", program.standardError());
}

TEST(Program, AMissingConfigurationKeyOrAudioDeviceEndsItWithTheMessage)
{
    expectFatal("", "Cannot open or create file 'resources/config.cfg'");
    for (const std::string key : {"window_width", "window_height", "fullscreen", "renderer_width", "renderer_height",
                                  "audio_frequency", "audio_channels", "audio_chunksize"})
        expectFatal(configText({}, {key}), "src/config: Configfile does not contain '" + key + "'");
    expectFatal(configText(), "src/audio: Could not init Audio Mode. Error in Mix_OpenAudio().",
                {{"SDL_AUDIODRIVER", "no-such-driver"}});
}

class RunningGame : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.writeFile("resources/config.cfg", configText({{"window_width", 400}, {"window_height", 300}}));
        program = std::make_unique<RunningProgram>(executable, dir.path());
        window = xwindows::waitForWindow(program->pid(), "Quenor", 20s);
        ASSERT_NE(0ul, window) << "no window titled Quenor appeared; stderr: " << program->standardError();
    }

    ScopedWorkDir dir;
    std::unique_ptr<RunningProgram> program;
    unsigned long window = 0;
};

TEST_F(RunningGame, OpensAWindowOfTheConfiguredSizeAndEndsWhenItIsClosed)
{
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, display);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    XCloseDisplay(display);
    EXPECT_EQ(400, attributes.width);
    EXPECT_EQ(300, attributes.height);

    xwindows::requestClose(window);
    EXPECT_EQ(0, program->waitForExit(20s));
    EXPECT_EQ("", program->standardError());
}

TEST_F(RunningGame, EndsOnEscape)
{
    // Only the press: the game may be gone before a release could reach its window.
    const std::string command = "xdotool keydown --window " + std::to_string(window) + " Escape";
    ASSERT_EQ(0, std::system(command.c_str()));
    EXPECT_EQ(0, program->waitForExit(20s));
    EXPECT_EQ("", program->standardError());
}

} // namespace
