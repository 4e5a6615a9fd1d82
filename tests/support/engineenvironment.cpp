#include "engineenvironment.h"

#include <cstdlib>

void EngineEnvironment::SetUp()
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    startDirectory = std::make_unique<ScopedWorkDir>();
    startDirectory->writeFile("resources/config.cfg", configText());
    engine = std::make_unique<Quenor>();
    engine->start();
    // Tests make their own working directories; this one is no longer needed.
    startDirectory.reset();
}

void EngineEnvironment::TearDown()
{
    engine->stop();
    engine.reset();
}

void EngineEnvironment::runEngineFrame()
{
    engine->update();
}
