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

struct Finished {
    std::optional<int> status;
    std::string out, err;
};

Finished runToEnd(const ScopedWorkDir& dir, const std::map<std::string, std::string>& environment = {})
{
    RunningProgram program(executable, dir.path(), environment);
    Finished finished;
    finished.status = program.waitForExit(20s);
    finished.out = program.standardOutput();
    finished.err = program.standardError();
    return finished;
}

TEST(Program, WithoutConfigurationItEndsWithTheOpenError)
{
    ScopedWorkDir dir;
    const Finished run = runToEnd(dir);
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("Error: Cannot open or create file 'resources/config.cfg'\n", run.err);
}

TEST(Program, EachMissingKeyEndsItWithTheKeyNamed)
{
    for (const char* key : {"window_width", "window_height", "fullscreen", "renderer_width", "renderer_height",
                            "audio_frequency", "audio_channels", "audio_chunksize"}) {
        ScopedWorkDir dir;
        dir.writeFile("resources/config.cfg", configText({}, {key}));
        const Finished run = runToEnd(dir);
        EXPECT_EQ(1, run.status) << key;
        EXPECT_EQ(std::string("Error: src/config: Configfile does not contain '") + key + "'\n", run.err);
    }
}

TEST(Program, AnAudioDeviceThatCannotOpenIsFatal)
{
    ScopedWorkDir dir;
    dir.writeFile("resources/config.cfg", configText());
    const Finished run = runToEnd(dir, {{"SDL_AUDIODRIVER", "no-such-driver"}});
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("Error: src/audio: Could not init Audio Mode. Error in Mix_OpenAudio().\n", run.err);
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
