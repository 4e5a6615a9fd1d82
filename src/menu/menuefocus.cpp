// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "menu/menuefocus.h"

#include "engine/input.h"
#include "menu/menueitem.h"

#include <SDL/SDL.h>

#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace {

// A direction, or a point, in menu units.
struct Direction {
    float x, y;
};

// The way an arrow key points, in menu units (y upwards); none for other keys.
std::optional<Direction> directionOf(int32_t sym)
{
    switch (sym) {
    case SDLK_LEFT:
        return Direction{-1.0f, 0.0f};
    case SDLK_RIGHT:
        return Direction{1.0f, 0.0f};
    case SDLK_UP:
        return Direction{0.0f, 1.0f};
    case SDLK_DOWN:
        return Direction{0.0f, -1.0f};
    default:
        return std::nullopt;
    }
}

bool pressesButton(int32_t sym)
{
    return sym == SDLK_RETURN || sym == SDLK_KP_ENTER || sym == SDLK_SPACE;
}

Direction centreOf(const MenueItem& button)
{
    const Point2D position = button.getPosition();
    const Point2D size = button.getSize();
    return {position.x + size.x / 2, position.y + size.y / 2};
}

} // namespace

void MenueFocus::setButtons(std::vector<MenueItem*> newButtons)
{
    buttons = std::move(newButtons);
    highlighted = nullptr;
    keysLead = false;
}

void MenueFocus::clear()
{
    setButtons({});
}

void MenueFocus::update()
{
    const Input& input = Input::getInstance();
    const bool pointerMoved = input.getMouseX() != pointerX || input.getMouseY() != pointerY;
    if (keysLead && (pointerMoved || input.getLeftButton() != 0)) {
        keysLead = false;
        highlighted = nullptr;
    }
    takeKeys();
    for (MenueItem* button : buttons)
        button->setHighlight(button == highlighted, !keysLead);
    for (const int32_t sym : input.getPresses())
        if (pressesButton(sym) && highlighted != nullptr) {
            highlighted->press();
            break;
        }
}

void MenueFocus::takeKeys()
{
    const Input& input = Input::getInstance();
    for (const int32_t sym : input.getPresses()) {
        if (!directionOf(sym) || buttons.empty())
            continue;
        highlighted = highlighted == nullptr ? buttons.front() : nearest(sym);
        keysLead = true;
        pointerX = input.getMouseX();
        pointerY = input.getMouseY();
    }
}

// Distance along the direction counts once, distance across it three
// times, so that a button straight ahead wins over a nearer one off to the
// side (from the special level, alone in the bottom row, the way back to its
// right rather than Level 6 above it).
MenueItem* MenueFocus::nearest(int32_t sym) const
{
    const Direction direction = directionOf(sym).value();
    const Direction from = centreOf(*highlighted);
    MenueItem* best = highlighted;
    float bestScore = std::numeric_limits<float>::infinity();
    for (MenueItem* button : buttons) {
        const Direction to = centreOf(*button);
        const float dx = to.x - from.x, dy = to.y - from.y;
        const float along = dx * direction.x + dy * direction.y;
        const float across = std::abs(dx * direction.y - dy * direction.x);
        if (along < 1.0f)
            continue;
        const float score = along + 3.0f * across;
        if (score < bestScore) {
            bestScore = score;
            best = button;
        }
    }
    return best;
}
