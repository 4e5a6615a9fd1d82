#include "program.h"

#include "tempdir.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

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
    while (!reaped) {
        int status = 0;
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) {
            reaped = true;
            if (WIFEXITED(status))
                return WEXITSTATUS(status);
            return std::nullopt;
        }
        if (std::chrono::steady_clock::now() > deadline)
            return std::nullopt;
        std::this_thread::sleep_for(20ms);
    }
    return std::nullopt;
}

std::string RunningProgram::standardOutput() const
{
    return readWholeFile(outputFile);
}

std::string RunningProgram::standardError() const
{
    return readWholeFile(errorFile);
}

namespace xwindows {
namespace {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayHandle = std::unique_ptr<Display, DisplayCloser>;

// Windows of other processes come and go while the tree is searched; an
// error about a window that just vanished is no reason to end the test.
int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}

DisplayHandle openDisplay()
{
    XSetErrorHandler(ignoreXError);
    DisplayHandle display(XOpenDisplay(nullptr));
    if (!display)
        throw std::runtime_error("cannot open the X display");
    return display;
}

std::optional<unsigned long> cardinalProperty(Display* display, ::Window window, const char* name)
{
    const Atom property = XInternAtom(display, name, False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_CARDINAL, &type, &format, &count, &remaining,
                           &data) != Success || data == nullptr)
        return std::nullopt;
    std::optional<unsigned long> value;
    if (count == 1 && format == 32)
        value = *reinterpret_cast<unsigned long*>(data);
    XFree(data);
    return value;
}

bool hasTitle(Display* display, ::Window window, const std::string& title)
{
    char* name = nullptr;
    if (!XFetchName(display, window, &name) || name == nullptr)
        return false;
    const bool matches = title == name;
    XFree(name);
    return matches;
}

bool isMapped(Display* display, ::Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

::Window findWindow(Display* display, pid_t owner, const std::string& title)
{
    ::Window root = 0, parent = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    ::Window found = 0;
    for (unsigned int i = 0; i < count && found == 0; ++i) {
        const auto pid = cardinalProperty(display, children[i], "_NET_WM_PID");
        if (pid && static_cast<pid_t>(*pid) == owner && hasTitle(display, children[i], title) &&
            isMapped(display, children[i]))
            found = children[i];
    }
    if (children)
        XFree(children);
    return found;
}

} // namespace

unsigned long waitForWindow(pid_t owner, const std::string& title, std::chrono::milliseconds timeout)
{
    const DisplayHandle display = openDisplay();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    ::Window previous = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        // The same window twice in a row: SDL has finished setting its video mode.
        const ::Window window = findWindow(display.get(), owner, title);
        if (window != 0 && window == previous)
            return window;
        previous = window;
        std::this_thread::sleep_for(50ms);
    }
    return 0;
}

void requestClose(unsigned long window)
{
    const DisplayHandle display = openDisplay();
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = window;
    message.xclient.message_type = XInternAtom(display.get(), "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(XInternAtom(display.get(), "WM_DELETE_WINDOW", False));
    message.xclient.data.l[1] = CurrentTime;
    XSendEvent(display.get(), window, False, NoEventMask, &message);
    XFlush(display.get());
}

} // namespace xwindows
