// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "glcapture.h"

#include <SDL/SDL.h>

#include <functional>
#include <string>
#include <vector>

// A picture built in a test and written in one of the forms the game reads.
// Folders are created as needed.
struct TestPicture {
    enum class Form {
        RgbaPng, // with an alpha channel
        Bmp,     // 24-bit, alpha dropped
    };

    TestPicture(int width, int height, Rgba background);
    // Pixel (column i, row j) coloured colour(i, j).
    TestPicture(int width, int height, const std::function<Rgba(int, int)>& colour);
    void fill(int x0, int y0, int x1, int y1, Rgba colour); // x1, y1 exclusive
    void save(const std::string& file, Form form = Form::Bmp) const;

    int width, height;
    std::vector<Rgba> pixels; // rows top-down
};
