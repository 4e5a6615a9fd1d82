// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "menu/menuelvl.h"

#include "engine/config.h"
#include "menu/imagebutton.h"
#include "resources/resourcemanager.h"
#include "world/savegame.h"
#include "resources/texture2d.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr int32_t levelButtonSide = 128;

// Where each level button of Savegame::levels stands: its left edge and how
// far below the window's top edge its bottom edge lies. The special level
// sits alone below the two rows.
struct Slot {
    int32_t left;
    int32_t belowTop;
};

constexpr std::array<Slot, Savegame::levels.size()> slots = {{
    {50, 250},
    {250, 250},
    {450, 250},
    {250, 650},
    {50, 450},
    {250, 450},
    {450, 450},
}};

} // namespace

void MenueLVL::start(Menue* menue)
{
    ActionListener* const listener = listenerOf(menue);
    addMenueButton(items, Point2D(Config::get("window_width") - 250, 120), ".main menu", listener, "Main");
    for (std::size_t i = 0; i < Savegame::levels.size(); ++i) {
        const Savegame::Level& level = Savegame::levels[i];
        auto button = std::make_unique<ImageButton>();
        ImageButton& added = *button;
        levelButtons.push_back(std::move(button));
        added.start(Point2D(slots[i].left, Config::get("window_height") - slots[i].belowTop),
                    Point2D(levelButtonSide, levelButtonSide), level.title, level.thumbnail,
                    clickSoundFile, hoverSoundFile);
        added.setActionListener(listener, "Game", level.levelFile);
    }
    try {
        progress = Savegame::read();
    } catch (...) {
        // The caller gets a screen that holds nothing, as if never started.
        stop();
        throw;
    }
    // The levels offered in the savegame's order, then the way back.
    std::vector<MenueItem*> buttons = buttonsOf(levelButtons);
    buttons.resize(offeredLevels());
    buttons.push_back(items.front().get());
    focus.setButtons(std::move(buttons));
    goldMedal = Held<Texture2D>(goldMedalFile);
    silverMedal = Held<Texture2D>(silverMedalFile);
    bronzeMedal = Held<Texture2D>(bronzeMedalFile);
}

void MenueLVL::stop()
{
    focus.clear();
    stopAll(items);
    stopAll(levelButtons);
    progress.clear();
    goldMedal.reset();
    silverMedal.reset();
    bronzeMedal.reset();
}

void MenueLVL::update()
{
    focus.update();
    updateAll(items);
    for (std::size_t i = 0; i < offeredLevels(); ++i) {
        levelButtons[i]->update();
        if (const Texture2D* medal = medalFor(progress[i])) {
            glBindTexture(GL_TEXTURE_2D, medal->getId());
            drawMedal(i);
        }
    }
}

void MenueLVL::drawMedal(std::size_t index) const
{
    const MenueItem& button = *levelButtons.at(index);
    const Point2D position = button.getPosition();
    const Point2D size = button.getSize();
    const float half = medalSize / 2;

    glEnable(GL_BLEND);
    glLoadIdentity();
    glTranslatef(position.x + size.x - half, position.y - half, 0.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(medalSize, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(medalSize, medalSize);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(0.0f, medalSize);
    glEnd();
    glDisable(GL_BLEND);
}

const Texture2D* MenueLVL::medalFor(int32_t value) const
{
    switch (value) {
    case 0:
        return nullptr;
    case 1:
        return bronzeMedal.get();
    case 2:
        return silverMedal.get();
    default:
        return goldMedal.get();
    }
}

std::size_t MenueLVL::offeredLevels() const
{
    return std::min(levelButtons.size(), progress.size());
}
