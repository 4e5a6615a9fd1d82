#!/usr/bin/python3

# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Writes the tiny pictures the image tests decode into tests/fixtures/.

Every picture is a grid of 3 x 2 cells (top row red, green, blue; bottom row
white, black, yellow). Lossless files use one pixel per cell; the JPEG uses one
8 x 8 block per cell with full-resolution colour so that the cells stay flat.
In rgba.png and palette.png the black cell is fully transparent.
"""
from pathlib import Path

from PIL import Image

CELLS = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255), (0, 0, 0), (255, 255, 0)]
OUT = Path(__file__).resolve().parent.parent / "tests" / "fixtures"


def grid(mode, cell=1):
    picture = Image.new(mode, (3 * cell, 2 * cell))
    for index, colour in enumerate(CELLS):
        x, y = index % 3 * cell, index // 3 * cell
        picture.paste(colour + ((0,) if index == 4 else (255,)) if mode == "RGBA" else colour,
                      (x, y, x + cell, y + cell))
    return picture


OUT.mkdir(parents=True, exist_ok=True)
grid("RGB").save(OUT / "rgb.png")
grid("RGBA").save(OUT / "rgba.png")
# Six palette entries (a 4-bit PNG); entry 4 (black) is the one transparent entry.
palette = Image.new("P", (3, 2))
palette.putpalette([channel for colour in CELLS for channel in colour])
palette.putdata(range(6))
palette.save(OUT / "palette.png", transparency=4)
grid("RGB", 8).save(OUT / "photo.jpg", quality=100, subsampling=0)
