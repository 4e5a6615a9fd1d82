// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <functional>
#include <set>
#include <vector>

// One vertex as GL feedback mode (GL_3D_COLOR_TEXTURE) reports it:
// window coordinates, colour and texture coordinates after all transforms.
struct FeedbackVertex {
    float x, y, z;
    float r, g, b, a;
    float s, t, p, q;
};

// A point or polygon that a draw call emitted.
// Quads and strips arrive as triangles or polygons, already clipped.
struct FeedbackPrimitive {
    GLenum token; // GL_POLYGON_TOKEN or GL_POINT_TOKEN
    std::vector<FeedbackVertex> vertices;
};

// Runs draw() in GL feedback mode and returns every primitive it emitted.
// Nothing reaches the framebuffer meanwhile.
std::vector<FeedbackPrimitive> captureFeedback(const std::function<void()>& draw, std::size_t capacityFloats = 1 << 20);

// The distinct corners drawn: window (x, y) rounded, texture (s, t) in thousandths.
using Corners = std::set<std::array<long, 4>>;
Corners cornersOf(const std::vector<FeedbackPrimitive>& primitives);

struct Rgba {
    uint8_t r, g, b, a;
    bool operator==(const Rgba&) const = default;
};

// Reads the buffer being drawn into (what the next swap would show); rows run bottom-up.
std::vector<Rgba> readPixels(int x, int y, int width, int height);
Rgba pixelAt(int x, int y);
// Every texel of the texture's first level, top row first, as uploaded.
std::vector<Rgba> textureTexels(GLuint texture, int* width = nullptr, int* height = nullptr);

// One integer of GL state (glGetIntegerv).
GLint glInteger(GLenum name);

// The current projection or model-view matrix (column-major).
std::array<float, 16> currentMatrix(GLenum which);
