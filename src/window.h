#pragma once

#include "singleton.h"
#include "task.h"

// Opens the SDL video mode with an OpenGL context (window_width,
// window_height, fullscreen from the configuration) and presents every
// finished frame.
class Window : public Task {
public:
    static Window& getInstance() { return SingletonSlot<Window>::get(); }

    // Throws std::runtime_error when SDL's video or the video mode fails.
    void start() override;
    // Presents the frame just drawn (buffer swap).
    bool update() override;
    // Shuts every SDL subsystem down, audio included.
    void stop() override;

private:
    friend class SingletonSlot<Window>;
    Window() = default;
};
