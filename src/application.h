#pragma once

#include "singleton.h"
#include "task.h"

// The game on top of the engine. This version runs an empty frame loop:
// it draws nothing and ends the program once Escape is held (closing the
// window counts as Escape).
class Application : public Task {
public:
    static Application& getInstance() { return SingletonSlot<Application>::get(); }

    void start() override;
    // False once Escape is held: the program ends.
    bool update() override;
    void stop() override;

private:
    friend class SingletonSlot<Application>;
    Application() = default;
};
