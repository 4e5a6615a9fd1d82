// Kerbolt 2008: start the engine, alternate between the application and the
// engine's tasks until the application asks to stop, then shut down.

#include "application.h"
#include "quenor.h"

#include <SDL/SDL.h>

#include <exception>
#include <iostream>

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
        // No task is stopped, but SDL is shut down so a fullscreen mode never
        // leaves the desktop changed.
        SDL_Quit();
        return 1;
    }
}
