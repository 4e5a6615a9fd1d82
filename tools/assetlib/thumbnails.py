# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Level thumbnails: a side view of a level's terrain over its background,
128 x 128, for the level selection's picture buttons.

The view is from the round's side: x runs along the level (its whole
length squeezed into the picture, heights exaggerated), in front the
profile of the line the player runs on, behind it the ridge of the rows
further back with their trees. The ground takes its colour from the
terrain's colour map; where the running line drops to the losing height
(half the highest possible) a pit glows. A dot marks the start, a flag the
far end. The picture button shows its picture mirrored left to right, so
the thumbnail is stored mirrored, with rounded corners like the frame."""

import os

import numpy as np
from PIL import Image, ImageDraw

from . import common
from .common import INK

SIZE = 128


def _tokens(path):
    with open(path, encoding="latin-1") as f:
        return f.read().split()


def read_level(path):
    """(height-field description, background) named by a level file; its
    first line is free text."""
    with open(path, encoding="latin-1") as f:
        f.readline()
        rest = f.read().split()
    return rest[0], rest[1]


def read_description(path):
    t = _tokens(path)
    return {"image": t[0], "scale_x": float(t[1]), "scale_y": float(t[2]), "height_scale": float(t[3]),
            "textures": t[4:8], "repeats": [float(v) for v in t[8:11]], "mesh": t[11], "mesh_scale": float(t[12])}


def _load_rgb(root, rel):
    return np.asarray(Image.open(os.path.join(root, rel)).convert("RGB"), dtype=np.float64)


def render(root, level_rel):
    """The thumbnail of one level file, as the stored (mirrored) picture.
    Paths inside the files are relative to root, the game's directory."""
    desc_rel, background_rel = read_level(os.path.join(root, level_rel))
    desc = read_description(os.path.join(root, desc_rel))
    heights = _load_rgb(root, desc["image"])
    red, green = heights[..., 0], heights[..., 1]
    rows, cols = red.shape
    colour_map = _load_rgb(root, desc["textures"][0])
    walk = rows // 2                        # the round puts the player here
    hs = desc["height_scale"]

    # Background: the round's picture as the player sees it (its file is
    # stored mirrored), squeezed to the square.
    bg = Image.open(os.path.join(root, background_rel)).convert("RGB").transpose(Image.Transpose.FLIP_LEFT_RIGHT)
    s = 4
    n = SIZE * s
    picture = bg.resize((n, n), Image.Resampling.BICUBIC)
    d = ImageDraw.Draw(picture)

    # Two layers: the ridge behind the walking line (the highest ground of
    # the rows behind it) and the walking line itself, the profile the
    # player runs on. Heights are exaggerated, but at most eight times the
    # horizontal scale, so hills stay hills.
    danger = 127.5 * hs
    ridge = (red[walk:].max(axis=0) if rows > 1 else red[0]) * hs
    # Pits run through the whole depth; behind the running line they would
    # only cut the ridge into pillars, so the ridge is bridged over them.
    solid = ridge > danger
    if solid.any():
        ridge = np.interp(np.arange(cols), np.nonzero(solid)[0], ridge[solid])
    profile = red[walk] * hs
    top = max(ridge.max(), profile.max(), danger + 1.0)
    px_per_unit_x = SIZE / (cols * desc["scale_x"])
    px_per_unit_z = min(42.0 / (top - danger + 4.0), 8.0 * px_per_unit_x * 4.0)
    surface_y = 84.0                         # where the danger level lies, in pixels

    def y_of(z):
        return (surface_y - (np.maximum(z, danger - 3.0) - danger) * px_per_unit_z) * s

    xs = np.arange(cols + 1) / cols * n
    sample = ((np.arange(cols) + 0.5) / cols * colour_map.shape[1]).astype(int)

    def layer(z, row, haze, soil):
        ys = y_of(z)
        outline = [(xs[i], ys[i]) for i in range(cols)] + [(xs[cols], ys[cols - 1]), (xs[cols], n), (0, n)]
        mask = Image.new("L", (n, n), 0)
        ImageDraw.Draw(mask).polygon(outline, fill=255)
        depth = np.clip((np.arange(n) - ys.min()) / max(n - ys.min(), 1), 0, 1)[:, None, None]
        ground = soil * (1 - 0.5 * depth) * (0.92 + 0.08 * np.sin(np.arange(n) / (2.5 * s)))[:, None, None]
        ground = ground * (1 - haze) + HAZE * haze
        picture.paste(Image.fromarray(np.broadcast_to(ground, (n, n, 3)).astype(np.uint8), "RGB"), (0, 0), mask)
        map_row = colour_map[min(int((row + 0.5) / rows * colour_map.shape[0]), colour_map.shape[0] - 1)]
        for i in range(cols):
            c = map_row[sample[i]] * (1 - haze) + HAZE * haze
            y0, y1 = ys[i], ys[min(i + 1, cols - 1)]
            d.polygon([(xs[i], y0), (xs[i + 1], y1), (xs[i + 1], y1 + 3 * s), (xs[i], y0 + 3 * s)],
                      fill=tuple(int(v) for v in c))
        return ys

    ridge_row = walk + int(np.argmax(red[walk:].mean(axis=1))) if rows > 1 else 0
    ridge_ys = layer(ridge, ridge_row, 0.35, np.array((110, 84, 62), float))
    # Trees behind the walking line stand on the ridge.
    behind = green[walk + 1:] if rows > 1 else green[:0]
    for i in range(cols):
        if behind.size and behind[:, i].max() > 25 and ridge[i] > danger:
            x = (xs[i] + xs[i + 1]) / 2
            tall = (5 + 4 * behind[:, i].max() / 255.0) * s
            base = ridge_ys[i] + s
            c = tuple(int(v) for v in np.array((40, 96, 54)) * 0.65 + HAZE * 0.35)
            d.polygon([(x - 2.0 * s, base), (x + 2.0 * s, base), (x, base - tall)], fill=c)
    walk_ys = layer(profile, walk, 0.0, np.array((128, 92, 60), float))
    # Pits: where the running line drops to the losing height, a dark slot
    # from the surrounding ground down, with embers glowing at its floor.
    deadly = red[walk] <= 127
    floor = y_of(np.array([danger - 3.0]))[0]
    for i in np.nonzero(deadly)[0]:
        left = i
        while left > 0 and deadly[left - 1]:
            left -= 1
        right = i
        while right < cols - 1 and deadly[right + 1]:
            right += 1
        rim = max(walk_ys[max(left - 1, 0)], walk_ys[min(right + 1, cols - 1)]) + 2 * s
        x0, x1 = xs[i], xs[i + 1]
        x0, x1 = min(x0, (x0 + x1) / 2 - s), max(x1, (x0 + x1) / 2 + s)
        d.rectangle((x0, rim, x1, n), fill=(34, 20, 22))
        d.rectangle((x0, floor - 2 * s, x1, floor + 2 * s), fill=(226, 92, 30))
    # The finish flag where gold is won, and Pimbo's start.
    finish = min(cols - 1, int(cols / 1.01))
    fx, fy = xs[finish], walk_ys[finish]
    d.line([(fx, fy), (fx, fy - 15 * s)], fill=INK, width=s)
    d.polygon([(fx, fy - 15 * s), (fx + 8 * s, fy - 12.5 * s), (fx, fy - 10 * s)], fill=(226, 66, 52), outline=INK)
    start = min(cols - 1, int(45.0 / desc["scale_x"]))
    sx, sy = xs[start], walk_ys[start]
    d.ellipse((sx - 3 * s, sy - 8 * s, sx + 3 * s, sy - 2 * s), fill=(250, 186, 44), outline=INK, width=s)
    picture = picture.resize((SIZE, SIZE), Image.Resampling.BOX)
    # Rounded corners, as the frame drawn over the picture has them.
    corners = Image.new("L", (n, n), 0)
    ImageDraw.Draw(corners).rounded_rectangle((0, 0, n - 1, n - 1), radius=10 * s, fill=255)
    picture.putalpha(corners.resize((SIZE, SIZE), Image.Resampling.BOX))
    return picture.transpose(Image.Transpose.FLIP_LEFT_RIGHT)


HAZE = np.array((168, 170, 226), float)


# The seven levels: level file -> thumbnail, in the level list's order.
LEVELS = [
    ("resources/lvls/lvl1.txt", "textures/lvls/lvl1_thumb.png"),
    ("resources/lvls/lvl2.txt", "textures/lvls/lvl2_thumb.png"),
    ("resources/lvls/lvl3.txt", "textures/lvls/lvl3_thumb.png"),
    ("resources/lvls/lvlSpecial.txt", "textures/lvls/lvl4_thumb.png"),
    ("resources/lvls/lvl1b.txt", "textures/lvls/lvl5_thumb.png"),
    ("resources/lvls/lvl2b.txt", "textures/lvls/lvl6_thumb.png"),
    ("resources/lvls/lvl3b.txt", "textures/lvls/lvl7_thumb.png"),
]


def generate():
    """Renders the thumbnail of every level whose file exists."""
    done = []
    for level, thumb in LEVELS:
        if os.path.exists(os.path.join(common.REPO, level)):
            common.save_png(render(common.REPO, level), thumb)
            done.append(thumb)
    return done
