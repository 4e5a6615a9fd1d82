#include "application.h"

#include "input.h"

void Application::start() {}

bool Application::update()
{
    return !Input::getInstance().isKeyHeld(Input::escapeSym);
}

void Application::stop() {}
