// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "menu/menueresult.h"

#include "engine/config.h"
#include "resources/fontwriter.h"
#include "menu/menuemain.h"
#include "resources/resourcemanager.h"
#include "resources/sound.h"

#include <SDL/SDL_mixer.h>

#include <utility>

MenueResult::MenueResult(std::string firstLine, std::string secondLine)
    : firstLine(std::move(firstLine)), secondLine(std::move(secondLine))
{
}

void MenueResult::start(Menue* menue)
{
    endSound = Held<Sound>(endSoundFile);
    if (Mix_Chunk* chunk = endSound->getChunk())
        Mix_PlayChannel(-1, chunk, 0);
    MenueMain::addMainButtons(items, listenerOf(menue));
    focus.setButtons(buttonsOf(items));
}

void MenueResult::stop()
{
    focus.clear();
    stopAll(items);
    endSound.reset();
}

void MenueResult::update()
{
    focus.update();
    updateAll(items);
    FontWriter& writer = FontWriter::getInstance();
    writer.selectFont(3);
    // Whole halves: an odd size rounds towards the origin.
    const int32_t left = Config::get("window_width") / 2 - 100;
    writer.write2D(firstLine, left, Config::get("window_height") / 2 + 10);
    writer.write2D(secondLine, left, Config::get("window_height") / 2 - 10);
}
