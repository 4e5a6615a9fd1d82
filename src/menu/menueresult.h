// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "menu/menueimpl.h"
#include "resources/resourcemanager.h"

#include <string>

class Sound;

// What the four result screens share: the end-of-round sound played once
// as the screen opens, a two-line message in the middle of the window in
// the largest font, and the main screen's three buttons.
class MenueResult : public MenueImpl {
public:
    static constexpr const char* endSoundFile = "resources/sounds/game_end.wav";

    void start(Menue* menue) override;
    void stop() override;
    void update() override;

    const Widgets& getItems() const { return items; }
    const std::string& getFirstLine() const { return firstLine; }
    const std::string& getSecondLine() const { return secondLine; }

protected:
    MenueResult(std::string firstLine, std::string secondLine);

private:
    Widgets items;
    Held<Sound> endSound;
    std::string firstLine;
    std::string secondLine;
};
