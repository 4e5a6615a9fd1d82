// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "tempdir.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// The real game executable running as a child process in a given working
// directory, with standard output and error captured to files there.
// A program still running when the object goes is killed.
class RunningProgram {
public:
    // `environment` adds to or replaces the test's own environment variables.
    RunningProgram(const std::string& executable, const std::filesystem::path& workingDirectory,
                   const std::map<std::string, std::string>& environment = {});
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    pid_t pid() const { return child; }
    // The exit status, or nothing when the program did not end in time or was
    // ended by a signal.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    std::string standardError() const { return readWholeFile(errorFile); }
    std::string standardOutput() const { return readWholeFile(outputFile); }

private:
    std::filesystem::path outputFile;
    std::filesystem::path errorFile;
    pid_t child = -1;
    bool reaped = false;
};

// Runs the executable in `workingDirectory` and expects it to end within
// 20 s with status 1 and exactly one line on standard error, "Error: <message>".
void expectFatalRun(const std::string& executable, const std::filesystem::path& workingDirectory,
                    const std::string& message, const std::map<std::string, std::string>& environment = {});

// X11 helpers for the display in DISPLAY (Xvfb in the test run).
namespace xwindows {

// A top-level window of the given process whose title is exactly `title`,
// once it is mapped; 0 when none appears in time.
unsigned long waitForWindow(pid_t owner, const std::string& title, std::chrono::milliseconds timeout);

// Asks the window to close as a window manager would (WM_DELETE_WINDOW).
void requestClose(unsigned long window);

// What a window shows, as the X server has it: 0xRRGGBB per pixel, rows
// top-down as in X (an empty picture when the window cannot be read).
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t at(int x, int y) const { return pixels.at(static_cast<std::size_t>(y * width + x)); }
    // The pixel at (x, y) counted from the bottom-left corner, as GL counts.
    uint32_t atGl(int x, int y) const { return at(x, height - 1 - y); }
};
Picture capture(unsigned long window);

// Captures the window until `shows` accepts the picture or the time is up;
// answers the last picture taken.
Picture waitForPicture(unsigned long window, const std::function<bool(const Picture&)>& shows,
                       std::chrono::milliseconds timeout);

// Runs `xdotool <arguments>` and answers its exit status.
int xdotool(const std::string& arguments);

// Moves the pointer to (x, y) in the window and waits until the window shows
// `hovered` (the program has taken the pointer's new place), then presses the
// left button and lets it go after `hold`, so that a program drawing slow
// frames sees the button down in one frame and up in a later one. False when
// the hover never showed; nothing is pressed then.
bool click(unsigned long window, int x, int y, std::chrono::milliseconds hold,
           const std::function<bool(const Picture&)>& hovered, std::chrono::milliseconds timeout);

} // namespace xwindows
