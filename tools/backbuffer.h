#pragma once

#include <string>

// Developer tools only: writes the back buffer (the frame just drawn, the
// renderer's size) to a PNG file, top row first. Throws std::runtime_error
// when the file cannot be written.
void saveBackBufferPng(const std::string& file);
