// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/singleton.h"
#include "engine/task.h"

// Sets the OpenGL state once, clears the buffers every frame and switches
// between the two projections all drawing uses: 2D over the renderer size
// (origin bottom-left, y up, one unit per pixel) and a 45-degree 3D perspective.
// The renderer size (renderer_width, renderer_height) may differ from the
// window size; the viewport always starts at the window's lower-left corner.
class Renderer : public Task {
public:
    static Renderer& getInstance() { return SingletonSlot<Renderer>::get(); }

    // Needs the window's OpenGL context. Also resolves the OpenGL extension
    // entry points (through GLEW); missing extensions are simply absent.
    void start() override;
    // Clears colour and depth, then loads identity on the current matrix.
    bool update() override;
    void stop() override;

    // Both switches leave the model-view matrix selected and set to identity.
    virtual void setOrtho();
    virtual void setPerspective();
    virtual float getHeight() const;
    virtual float getWidth() const;

private:
    friend class SingletonSlot<Renderer>;
    Renderer() = default;

    float height = 0.0f;
    float width = 0.0f;
};
