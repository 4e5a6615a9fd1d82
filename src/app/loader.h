// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/singleton.h"
#include "engine/unit.h"
#include "resources/resourcemanager.h"

class Texture2D;

// The picture that fills the window once at start-up, while the fonts and
// the menu load. Drawn a single time and presented at once; not animated.
class Loader : public Unit {
public:
    static constexpr const char* pictureFile = "resources/textures/loading.png";

    static Loader& getInstance() { return SingletonSlot<Loader>::get(); }

    // Loads the picture, draws it in the 2D projection, presents the frame
    // and gives the picture back, so nothing of it stays held afterwards.
    // Needs the window and the renderer started.
    static void show();

    // Takes a hold on the picture's texture (the resource layer substitutes
    // its default picture when the file is missing).
    void load() override;
    // One quad over the whole renderer area (renderer_width by
    // renderer_height), the picture's top row at the top edge. The buffers
    // are not cleared first: the quad covers them.
    virtual void draw() const;
    void unload() override;

private:
    friend class SingletonSlot<Loader>;
    Loader() = default;

    Held<Texture2D> picture;
};
