// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "program.h"

// Before Xlib, whose macros (None, Bool) clash with its names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <fcntl.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

RunningProgram::RunningProgram(const std::string& executable, const fs::path& workingDirectory,
                               const std::map<std::string, std::string>& environment)
    : outputFile(workingDirectory / "stdout.txt"), errorFile(workingDirectory / "stderr.txt")
{
    child = fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        // The test process is single-threaded, so setenv is safe after fork.
        for (const auto& [name, value] : environment)
            setenv(name.c_str(), value.c_str(), 1);
        const int out = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || chdir(workingDirectory.c_str()) != 0)
            _exit(127);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        execl(executable.c_str(), executable.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
}

RunningProgram::~RunningProgram()
{
    if (!reaped) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
}

std::optional<int> RunningProgram::waitForExit(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!reaped && std::chrono::steady_clock::now() <= deadline) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            reaped = true;
            return WIFEXITED(status) ? std::optional(WEXITSTATUS(status)) : std::nullopt;
        }
        std::this_thread::sleep_for(20ms);
    }
    return std::nullopt;
}

void expectFatalRun(const std::string& executable, const fs::path& workingDirectory, const std::string& message,
                    const std::map<std::string, std::string>& environment)
{
    RunningProgram program(executable, workingDirectory, environment);
    EXPECT_EQ(1, program.waitForExit(20s)) << message;
    EXPECT_EQ("Error: " + message + "\n", program.standardError());
}

namespace xwindows {

unsigned long waitForWindow(pid_t owner, const std::string& title, std::chrono::milliseconds timeout)
{
    // xdotool finds the mapped windows by _NET_WM_PID and WM_NAME.
    const std::string search = "xdotool search --all --onlyvisible --pid " + std::to_string(owner) + " --name '^" +
                               title + "$' 2>/dev/null";
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    unsigned long previous = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        unsigned long window = 0;
        if (FILE* pipe = popen(search.c_str(), "r")) {
            if (std::fscanf(pipe, "%lu", &window) != 1)
                window = 0;
            pclose(pipe);
        }
        // The same window twice in a row: SDL has finished setting its video mode.
        if (window != 0 && window == previous)
            return window;
        previous = window;
        std::this_thread::sleep_for(50ms);
    }
    return 0;
}

void requestClose(unsigned long window)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        throw std::runtime_error("cannot open the X display");
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = window;
    message.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    message.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &message);
    XCloseDisplay(display); // flushes the message
}

namespace {

// Reads every pixel of a 24-bit TrueColor window (Xvfb's default visual).
Picture readWindow(Display* display, unsigned long window)
{
    Picture picture;
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0)
        return picture;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr)
        return picture;
    picture.width = attributes.width;
    picture.height = attributes.height;
    picture.pixels.reserve(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height));
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.pixels.push_back(static_cast<uint32_t>(XGetPixel(image, x, y) & 0xFFFFFFu));
    XDestroyImage(image);
    return picture;
}

// The window may vanish while it is read; X errors must not end the test.
int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}

} // namespace

Picture capture(unsigned long window)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        throw std::runtime_error("cannot open the X display");
    const auto previousHandler = XSetErrorHandler(ignoreXError);
    Picture picture = readWindow(display, window);
    XSync(display, False);
    XSetErrorHandler(previousHandler);
    XCloseDisplay(display);
    return picture;
}

Picture waitForPicture(unsigned long window, const std::function<bool(const Picture&)>& shows,
                       std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    Picture picture = capture(window);
    while (!(picture.width > 0 && shows(picture)) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(100ms);
        picture = capture(window);
    }
    return picture;
}

int xdotool(const std::string& arguments)
{
    const std::string command = "xdotool " + arguments;
    return std::system(command.c_str());
}

bool click(unsigned long window, int x, int y, std::chrono::milliseconds hold,
           const std::function<bool(const Picture&)>& hovered, std::chrono::milliseconds timeout)
{
    const std::string target = std::to_string(window);
    xdotool("mousemove --window " + target + " " + std::to_string(x) + " " + std::to_string(y));
    const Picture shown = waitForPicture(window, hovered, timeout);
    if (shown.width == 0 || !hovered(shown))
        return false;
    xdotool("mousedown 1");
    std::this_thread::sleep_for(hold);
    xdotool("mouseup 1");
    return true;
}

} // namespace xwindows
