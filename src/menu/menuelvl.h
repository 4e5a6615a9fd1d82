// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "menu/menueimpl.h"
#include "resources/resourcemanager.h"

#include <cstdint>
#include <vector>

class Texture2D;

// The level selection: a picture button per level offered (the level's
// thumbnail and title) with the best medal won so far on its bottom-right
// corner, and ".main menu" to go back. The savegame is read once, in
// start(): with n entries the first min(n, 7) levels are offered.
class MenueLVL : public MenueImpl {
public:
    static constexpr const char* goldMedalFile = "resources/textures/prize/gold.png";
    static constexpr const char* silverMedalFile = "resources/textures/prize/silver.png";
    static constexpr const char* bronzeMedalFile = "resources/textures/prize/bronze.png";
    static constexpr float medalSize = 64.0f;

    // Throws the savegame's open error when it cannot be read.
    void start(Menue* menue) override;
    void stop() override;
    // The back button, then each offered level button with its medal.
    void update() override;

    // Draws the bound medal texture as a 64 by 64 square centred on the
    // bottom-right corner of level button `index`.
    void drawMedal(std::size_t index) const;
    // The medal texture for a savegame value: none for 0, bronze for 1,
    // silver for 2, gold for any other value.
    const Texture2D* medalFor(int32_t value) const;

    const Widgets& getItems() const { return items; }
    const Widgets& getLevelButtons() const { return levelButtons; }
    const std::vector<int32_t>& getProgress() const { return progress; }
    // How many level buttons are shown and clickable.
    std::size_t offeredLevels() const;

private:
    Widgets items;
    Widgets levelButtons;
    std::vector<int32_t> progress;
    Held<Texture2D> goldMedal;
    Held<Texture2D> silverMedal;
    Held<Texture2D> bronzeMedal;
};
