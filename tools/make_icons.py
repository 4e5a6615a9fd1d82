#!/usr/bin/python3

# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Draws the desktop icon of the installed game in 48, 128 and 256 pixels:
packaging/icons/kerbolt-<size>.png (make assets). A rounded tile of the
game's sky over a hill of its terrain, the explosion's glow at the left edge
and an amber bolt in the middle, all in the house palette.

Deterministic, so running it again rewrites the same files. The PNGs are
committed: building and installing need no Python."""

import os
import sys

import numpy as np
from PIL import Image, ImageDraw

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from assetlib import common  # noqa: E402
from assetlib.common import AMBER, AMBER_LIGHT, EMBER, INK, SKY_HAZE, SKY_TOP  # noqa: E402

SIZES = (48, 128, 256)
MASTER = 1024  # drawn once this large, then scaled down for each size
OUT_DIR = os.path.join(common.REPO, "packaging", "icons")
GRASS = (92, 150, 60)
GRASS_DARK = (46, 88, 34)


def _coverage(painter):
    """A float mask (0..1) of the shapes painter(draw) fills with 255."""
    mask = Image.new("L", (MASTER, MASTER), 0)
    painter(ImageDraw.Draw(mask))
    return np.asarray(mask, dtype=np.float64) / 255.0


def _tile():
    margin, radius = MASTER // 32, MASTER // 6
    return _coverage(lambda d: d.rounded_rectangle((margin, margin, MASTER - margin, MASTER - margin),
                                                   radius=radius, fill=255))


def _hill():
    x = np.linspace(0.0, 1.0, 65)
    ridge = 0.70 - 0.10 * np.sin(x * np.pi * 1.3 + 0.4) - 0.03 * np.sin(x * np.pi * 5.0)
    outline = [(float(u * MASTER), float(v * MASTER)) for u, v in zip(x, ridge)]
    return _coverage(lambda d: d.polygon(outline + [(MASTER, MASTER), (0, MASTER)], fill=255))


def _bolt():
    points = [(0.60, 0.10), (0.30, 0.54), (0.47, 0.54), (0.38, 0.90), (0.72, 0.42), (0.54, 0.42), (0.66, 0.10)]
    scaled = [(u * MASTER, v * MASTER) for u, v in points]
    inner = _coverage(lambda d: d.polygon(scaled, fill=255))
    outline = _coverage(lambda d: d.polygon(scaled, fill=255, outline=255, width=MASTER // 40))
    return inner, outline


def master():
    tile = _tile()
    rows = np.linspace(0.0, 1.0, MASTER)[:, None, None]
    rgb = np.broadcast_to(np.array(SKY_TOP, float) * (1 - rows) + np.array(SKY_HAZE, float) * rows,
                          (MASTER, MASTER, 3)).copy()
    alpha = np.zeros((MASTER, MASTER))
    rgb, alpha = common.composite(rgb, alpha, rgb, tile)

    hill = _hill() * tile
    hill_rgb = np.broadcast_to(np.array(GRASS, float) * (1 - rows) + np.array(GRASS_DARK, float) * rows, rgb.shape)
    rgb, alpha = common.composite(rgb, alpha, hill_rgb, hill)

    # The explosion chasing from the left edge.
    columns = np.linspace(0.0, 1.0, MASTER)[None, :]
    flames = (1.0 - common.smoothstep(0.0, 0.30, columns)) * np.ones((MASTER, 1)) * tile * 0.85
    rgb, alpha = common.composite(rgb, alpha, np.broadcast_to(np.array(EMBER, float), rgb.shape), flames)

    inner, outline = _bolt()
    halo = common.glow(inner, MASTER / 40) * tile * 0.8
    rgb, alpha = common.composite(rgb, alpha, np.broadcast_to(np.array(AMBER_LIGHT, float), rgb.shape), halo)
    rgb, alpha = common.composite(rgb, alpha, np.broadcast_to(np.array(INK, float), rgb.shape), outline)
    bolt_rgb = np.broadcast_to(np.array(AMBER_LIGHT, float) * (1 - rows) + np.array(AMBER, float) * rows, rgb.shape)
    rgb, alpha = common.composite(rgb, alpha, bolt_rgb, inner)
    return common.to_image(rgb, alpha)


def main():
    picture = master()
    os.makedirs(OUT_DIR, exist_ok=True)
    for size in SIZES:
        path = os.path.join(OUT_DIR, f"kerbolt-{size}.png")
        common.premultiplied_resize(picture, (size, size)).save(path, format="PNG", optimize=True)
        print(f"make_icons: {os.path.relpath(path, common.REPO)}")


if __name__ == "__main__":
    main()
