// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

// Developer tools only: writes the back buffer (the frame just drawn, the
// renderer's size) to a PNG file, top row first. Throws std::runtime_error
// when the file cannot be written.
void saveBackBufferPng(const std::string& file);

// The same for the rectangle of the frame whose lower-left corner is (x, y)
// in window pixels, GL's rows counted from the bottom.
void saveFramePng(const std::string& file, int x, int y, int width, int height);
