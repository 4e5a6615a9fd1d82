#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>

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
    std::string standardError() const;

private:
    std::filesystem::path outputFile;
    std::filesystem::path errorFile;
    pid_t child = -1;
    bool reaped = false;
};

// X11 helpers for the display in DISPLAY (Xvfb in the test run).
namespace xwindows {

// A top-level window of the given process whose title is exactly `title`,
// once it is mapped; 0 when none appears in time.
unsigned long waitForWindow(pid_t owner, const std::string& title, std::chrono::milliseconds timeout);

// Asks the window to close as a window manager would (WM_DELETE_WINDOW).
void requestClose(unsigned long window);

} // namespace xwindows
