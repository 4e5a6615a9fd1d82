// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "menu/menuefocus.h"
#include "menu/menueitem.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class ActionListener;
class Menue;

// One menu screen. The menu controller creates it, starts it with itself,
// updates it once per frame while it is shown, stops it and destroys it.
// All drawing happens in the 2D projection the controller has set.
class MenueImpl {
public:
    using Widgets = std::vector<std::unique_ptr<MenueItem>>;
    // What every screen's buttons play when clicked and when the pointer enters.
    static constexpr const char* clickSoundFile = "resources/sounds/menue_click.wav";
    static constexpr const char* hoverSoundFile = "resources/sounds/menue_over.wav";
    // A line of a screen's text and how far below the window's top edge its
    // glyphs begin.
    struct TextLine {
        const char* text;
        int32_t belowTop;
    };

    MenueImpl() = default;
    virtual ~MenueImpl();
    MenueImpl(const MenueImpl&) = delete;
    MenueImpl& operator=(const MenueImpl&) = delete;

    // Builds the widgets, with the controller as their listener (none when
    // menue is null), and takes what the screen needs.
    virtual void start(Menue* menue);
    // Stops and destroys every widget and gives back the screen's own
    // resources. A second stop does nothing.
    virtual void stop();
    // One frame: every widget runs and draws, then the screen's own texts.
    virtual void update();

    const MenueFocus& getFocus() const { return focus; }

protected:
    // Stops each widget in order, then empties the list.
    static void stopAll(Widgets& widgets);
    static void updateAll(const Widgets& widgets);
    // The widgets in their order, for the focus.
    static std::vector<MenueItem*> buttonsOf(const Widgets& widgets);
    // The controller as the widgets' listener; null without one.
    static ActionListener* listenerOf(Menue* menue);
    // Appends a 256 by 37 text button with the menu sounds that sends
    // ("Menue", command). The button joins the list before it starts, so a
    // start that fails half-way still leaves its holds to stopAll.
    static void addMenueButton(Widgets& widgets, const Point2D& position, const std::string& text,
                               ActionListener* listener, const std::string& command);

    // The title in the largest font 120 below the top, then the lines in the
    // 18-point font, all from x = 100; the 18-point font stays selected.
    static void writeTitleAndLines(const char* title, std::span<const TextLine> lines);

    // The keys' and the pad's way through the screen's buttons: given them in
    // start, updated before them each frame, cleared in stop.
    MenueFocus focus;
};
