// Kerbolt 2008: start the engine, alternate between the application and the
// engine's tasks until the application asks to stop, then shut down.

#include "application.h"
#include "quenor.h"

#include <SDL/SDL.h>

#include <exception>
#include <iostream>

namespace {

// After a fatal error the menu or the round may still hold resources. They
// are given back here, while the resource manager and the OpenGL context
// exist: left to the end of the program, the application's destruction would
// reach a resource manager that is already gone.
void stopApplicationAfterError()
{
    if (!SingletonSlot<Application>::exists())
        return;
    try {
        Application::getInstance().stop();
    } catch (const std::exception& error) {
        std::cerr << "Error: " << error.what() << std::endl;
    }
    SingletonSlot<Application>::destroy();
}

} // namespace

int main()
{
    try {
        Quenor engine;
        engine.start();

        Application& application = Application::getInstance();
        application.start();
        while (application.update())
            engine.update();

        application.stop();
        engine.stop();
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "Error: " << error.what() << std::endl;
        stopApplicationAfterError();
        // No engine task is stopped, but SDL is shut down so a fullscreen
        // mode never leaves the desktop changed.
        SDL_Quit();
        return 1;
    }
}
