// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Writes the shipped font pictures as font target inputs: one byte per
// pixel, 1 for ink, 0 behind a colour key, shrunk to 120 pixels (8 per cell)
// where a pixel is ink when any pixel it stands for is.
//   fontseeds OUTPUT_DIR PICTURE...

#include "fuzzinput.h"
#include "resources/surfacepixels.h"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>

#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    constexpr int side = 120;
    for (int arg = 2; arg < argc; ++arg) {
        SDL_Surface* picture = IMG_Load(argv[arg]);
        if (picture == nullptr || SDL_LockSurface(picture) != 0)
            return 1;
        std::string seed = {FontInput::alphaInk | FontInput::colourKey, side, side, 0};
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                bool ink = false;
                for (int sy = y * picture->h / side; sy < (y + 1) * picture->h / side; ++sy) {
                    for (int sx = x * picture->w / side; sx < (x + 1) * picture->w / side; ++sx) {
                        ink = ink || (picture->format->Amask != 0 ? colourAt(*picture, sx, sy).a != 0
                                                                  : pixelValue(*picture, sx, sy) != 0);
                    }
                }
                seed += static_cast<char>(ink);
            }
        }
        SDL_UnlockSurface(picture);
        SDL_FreeSurface(picture);
        std::ofstream(std::filesystem::path(argv[1]) / std::filesystem::path(argv[arg]).stem(), std::ios::binary) << seed;
    }
    return 0;
}
