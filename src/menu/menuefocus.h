// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <vector>

class MenueItem;

// A screen's buttons played without the mouse. The arrow keys (the pad's
// d-pad and stick act as them) move a highlight to the nearest button in
// their direction, so a grid is walked as it is laid out; the first arrow
// lights the first button. Enter or Space (the pad's bottom face button acts
// as Space) presses the highlighted button as a click would. The pointer and
// the highlight take turns, so that never two buttons show lit: a key that
// moves the highlight makes the pointer wait until it moves or its button
// goes down, and then the highlight goes.
class MenueFocus {
public:
    // The buttons, not owned, the first to be lit first.
    void setButtons(std::vector<MenueItem*> buttons);
    // Forgets the buttons (before they are destroyed).
    void clear();
    // Once a frame, before the buttons run: reads the keys pressed and the
    // pointer, tells each button whether it is lit and whether the pointer
    // counts, and presses the highlighted button on Enter or Space.
    void update();

    const std::vector<MenueItem*>& getButtons() const { return buttons; }
    // Null while nothing is highlighted.
    const MenueItem* getHighlighted() const { return highlighted; }

private:
    void takeKeys();
    // The nearest button whose centre lies in the direction of the arrow key
    // sym from the highlighted one's, the highlighted one itself when none does.
    MenueItem* nearest(int32_t sym) const;

    std::vector<MenueItem*> buttons;
    MenueItem* highlighted = nullptr;
    bool keysLead = false;
    // Where the pointer stood when the keys took the lead.
    int32_t pointerX = 0;
    int32_t pointerY = 0;
};
