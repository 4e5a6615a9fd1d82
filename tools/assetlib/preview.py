# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Texture look-ups as OpenGL does them (GL_REPEAT, linear or nearest), for
the pictures that show the game's meshes and terrain."""

import numpy as np


def texture(image):
    """A PIL picture as a float RGBA array (0..1), row 0 = texture row 0."""
    return np.asarray(image.convert("RGBA"), dtype=np.float64) / 255.0


def sample(tex, u, v, linear=True):
    h, w = tex.shape[:2]
    x = u * w - 0.5
    y = v * h - 0.5
    if not linear:
        xi = np.floor(u * w).astype(int) % w
        yi = np.floor(v * h).astype(int) % h
        return tex[yi, xi]
    x0 = np.floor(x).astype(int)
    y0 = np.floor(y).astype(int)
    fx = (x - x0)[..., None]
    fy = (y - y0)[..., None]
    x0m, x1m = x0 % w, (x0 + 1) % w
    y0m, y1m = y0 % h, (y0 + 1) % h
    top = tex[y0m, x0m] * (1 - fx) + tex[y0m, x1m] * fx
    bottom = tex[y1m, x0m] * (1 - fx) + tex[y1m, x1m] * fx
    return top * (1 - fy) + bottom * fy
