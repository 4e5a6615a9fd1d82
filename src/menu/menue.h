// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "menu/actionlistener.h"
#include "menu/appstate.h"
#include "engine/point.h"
#include "resources/resourcemanager.h"

#include <memory>
#include <string>

class Heightmap;
class MenueImpl;
class Sound;
class Texture2D;

// The menu controller: owns the active screen, draws the backdrop behind it
// (the island terrain turning slowly under a translucent frame), switches
// screens when a widget asks, and passes a chosen level and the request to
// quit on to its listener, the application.
class Menue : public ActionListener {
public:
    static constexpr const char* terrainFile = "resources/heightmaps/start.txt";
    static constexpr const char* shadeFile = "resources/textures/menue_shade.png";
    static constexpr const char* clickSoundFile = "resources/sounds/menue_click.wav";
    static constexpr const char* overSoundFile = "resources/sounds/menue_over.wav";
    // Degrees per millisecond: a turn of 5 degrees per second.
    static constexpr float spinRate = 0.005f;
    static constexpr float startSpinAngle = 90.0f;
    static constexpr float startTiltAngle = -80.0f;

    Menue();
    // Stops whatever stop() has not.
    ~Menue() override;
    Menue(const Menue&) = delete;
    Menue& operator=(const Menue&) = delete;

    // Takes the backdrop's resources and the two menu sounds (kept for the
    // controller's life so screens find them loaded) and records the screen
    // to open on the first update: one of MENUE_MAIN to MENUE_GOLD.
    virtual void start(APP_STATE state);
    // One menu frame: the backdrop, the shade frame, then the screen's work:
    // run the active screen (MENUE); open the screen of a pending state (the
    // old screen is stopped before the new one starts, and the new one draws
    // from the next frame); or, in SHUTDOWN, send ("Menue", "ShutDown") to
    // the listener, every frame until the program ends. Answers the state.
    virtual APP_STATE update();
    // Stops and destroys the active screen and gives back the controller's
    // own resources. A second stop does nothing.
    virtual void stop();
    // ("Menue", "LVL" / "Main" / "Copyright") open that screen on the next
    // frame, ("Menue", anything else) ends the program, ("Game", level file)
    // goes on to the listener unchanged; other senders change nothing.
    void actionPerformed(const std::string& sender, const std::string& command) override;
    // The listener is not owned; without one the controller sends nothing.
    virtual void setActionListener(ActionListener* listener, const std::string& sender, const std::string& command);

    APP_STATE getState() const { return state; }
    // Always in [0, 360).
    float getSpinAngle() const { return spinAngle; }
    // Null until the first update opens a screen.
    const MenueImpl* getScreen() const { return screen.get(); }

    // The translucent frame over the backdrop: a 100-unit band along the
    // bottom and a 100-unit bar along the top, in a width by height 2D area.
    static void drawShadeQuads(float width, float height);

private:
    void drawBackdrop();
    void drawShade() const;
    void openScreen(APP_STATE which);

    Held<Heightmap> terrain;
    Held<Texture2D> shade;
    Held<Sound> clickSound;
    Held<Sound> overSound;
    Point3D position{0.0f, -20.0f, -220.0f};
    float spinAngle = startSpinAngle;
    float tiltAngle = startTiltAngle;
    std::unique_ptr<MenueImpl> screen;
    ActionListener* listener = nullptr;
    std::string sender;
    std::string command;
    APP_STATE state = APP_STATE::MENUE_MAIN;
};
