// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "menu/boundingbox.h"
#include "engine/point.h"
#include "resources/resourcemanager.h"

#include <array>
#include <memory>
#include <string>

class ActionListener;
class Sound;
class Texture2D;

// A menu widget: a rectangle in 2D menu units (origin bottom-left, y up)
// drawn with the shared widget texture "resources/textures/gui.png", which
// sends its (sender, command) pair to a listener when it is clicked.
// Lifecycle: created, start(), setActionListener(), update() once per
// frame, stop(), destroyed. Widgets handle the mouse inside update().
class MenueItem {
public:
    static constexpr const char* guiTextureFile = "resources/textures/gui.png";

    MenueItem() = default;
    virtual ~MenueItem();
    MenueItem(const MenueItem&) = delete;
    MenueItem& operator=(const MenueItem&) = delete;

    // Stores the rectangle, builds the hit box and takes a hold on the
    // widget texture.
    virtual void start(const Point2D& position, const Point2D& size);
    // One frame of drawing and input; nothing in the base.
    virtual void update();
    // Drops the hit box and gives the widget texture back. A second stop
    // does nothing.
    virtual void stop();
    // The listener is not owned and may be null: the widget then still
    // draws and plays its sounds, but its clicks go nowhere.
    virtual void setActionListener(ActionListener* listener, const std::string& sender, const std::string& command);
    virtual Point2D getPosition() const;
    virtual Point2D getSize() const;
    // Plays the click sound and sends the action, as a click does.
    virtual void press();

    // Set by the screen before update(): whether the keys' highlight is on
    // this widget (it then looks and sounds as under the pointer) and
    // whether the pointer counts at all (not while the keys lead).
    void setHighlight(bool highlighted, bool pointerCounts);

    const std::string& getSender() const { return sender; }
    const std::string& getCommand() const { return command; }

protected:
    // Texture coordinates for the rectangle's corners: bottom-left,
    // bottom-right, top-right, top-left.
    struct TexCorner {
        float u, v;
    };
    using TexCorners = std::array<TexCorner, 4>;

    // Plays a chunk once on the first free mixer channel, without waiting.
    static void play(const Sound* sound);

    // The hover and click rules shared by both widget kinds, run once per
    // frame after the hit test (over: the pointer is over the widget and
    // counts; lit: over, or highlighted):
    //  - the hover sound plays on the first frame lit after a frame unlit
    //    (or on the widget's first frame when it is lit then);
    //  - a click is a frame over the widget, with the left button up, after
    //    the button was seen held over it; it plays the click sound and sends
    //    the action when there is a listener (press());
    //  - the press latch is set when the button is held over the widget and
    //    cleared whenever the button is seen up, so a press released
    //    elsewhere never arms the widget and a click happens only once.
    void handlePointer(bool over, bool lit, const Sound* hoverSound);
    // Whether the pointer counts and is over the hit box this frame; the
    // mouse's y is turned upwards with the configured "window_height".
    bool pointerOver() const;
    // Whether the widget shows as under the pointer this frame.
    bool lit(bool over) const { return over || highlighted; }
    void sendAction();
    // Puts the model-view origin on the bottom-left corner, binds the
    // texture (none when null) and turns blending on.
    void beginDrawing(const Texture2D* texture) const;
    // One quad over the whole rectangle at the current origin.
    void drawQuad(const TexCorners& corners) const;
    // The caption with its top-left corner at (x, y) in menu units (the
    // writer truncates to whole units), highlighted while the widget is lit.
    static void writeCaption(const std::string& caption, float x, float y, bool over);

    ActionListener* listener = nullptr;
    std::string sender;
    std::string command;
    Point2D position;
    Point2D size;
    std::unique_ptr<BoundingBox2D> box;
    Held<Texture2D> gui;
    bool pressed = false;
    bool hovered = false;
    bool highlighted = false;
    bool pointerCounts = true;
};
