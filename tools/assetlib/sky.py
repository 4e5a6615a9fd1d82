# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Backgrounds for the rounds: a day sky and a dusk sky, each with distant
hills along the lower part and, low on the left where the explosion
chases the player, the glow and cloud of the bomb far away.

A round draws its background over the whole window mirrored left to right
(first row at the top), so the pictures are stored mirrored."""

import numpy as np
from PIL import Image, ImageDraw

from . import common
from .common import to_image

SIZE = 512

SKIES = {
    "day": {
        "stops": [(0.0, (54, 72, 164)), (0.45, (106, 122, 206)), (0.66, (168, 170, 226)), (0.74, (196, 194, 232))],
        "cloud_light": (250, 250, 255), "cloud_shade": (150, 150, 200),
        "hills": [(0.60, (124, 130, 196)), (0.66, (98, 112, 168)), (0.72, (70, 92, 128))],
        "ground": (52, 76, 92), "glow": (255, 170, 90), "glow_strength": 0.55, "sun": None,
    },
    "dusk": {
        "stops": [(0.0, (34, 34, 96)), (0.35, (92, 70, 150)), (0.58, (222, 120, 120)), (0.72, (255, 176, 110))],
        "cloud_light": (255, 196, 170), "cloud_shade": (120, 70, 120),
        "hills": [(0.60, (150, 96, 140)), (0.66, (110, 70, 118)), (0.72, (70, 48, 90))],
        "ground": (48, 36, 70), "glow": (255, 140, 60), "glow_strength": 0.7, "sun": (0.74, 0.55),
    },
}


def _mushroom(size, x, base_y, height):
    """Coverage of a far-off mushroom cloud: a column under a rolling cap."""
    s = 4
    img = Image.new("L", (size * s, size * s), 0)
    d = ImageDraw.Draw(img)
    r = common.rng(401)
    stem_w = height * 0.12
    top = base_y - height
    d.polygon([((x - stem_w * 1.6) * s, base_y * s), ((x - stem_w * 0.55) * s, (top + height * 0.35) * s),
               ((x + stem_w * 0.55) * s, (top + height * 0.35) * s), ((x + stem_w * 1.6) * s, base_y * s)], fill=255)
    cap_w = height * 0.55
    for _ in range(26):
        cx = x + r.normal(0, cap_w * 0.32)
        cy = top + height * 0.2 + r.normal(0, height * 0.07)
        rad = r.uniform(0.12, 0.22) * height
        d.ellipse(((cx - rad) * s, (cy - rad * 0.8) * s, (cx + rad) * s, (cy + rad * 0.8) * s), fill=255)
    # A ring of smoke round the column.
    ring_y = top + height * 0.55
    d.ellipse(((x - cap_w * 0.45) * s, (ring_y - height * 0.05) * s, (x + cap_w * 0.45) * s,
               (ring_y + height * 0.05) * s), fill=255)
    return np.asarray(img.resize((size, size), Image.Resampling.BOX), dtype=np.float64) / 255.0


def _clouds(n, seed, band=(0.16, 0.5)):
    """Coverage and lighting (0 shade .. 1 light) of a few cumulus clouds
    whose flat bases lie in the band of heights given (fractions)."""
    s = 2
    r = common.rng(seed)
    mask = Image.new("L", (n * s, n * s), 0)
    d = ImageDraw.Draw(mask)
    for _ in range(7):
        cx = r.uniform(0.34, 0.95) * n
        base = r.uniform(*band) * n
        width = r.uniform(0.08, 0.2) * n
        for _ in range(int(width / 6)):
            px = cx + r.uniform(-0.5, 0.5) * width
            rad = r.uniform(0.15, 0.3) * width * (1.0 - abs(px - cx) / width)
            py = base - rad * r.uniform(0.2, 0.9)
            for wrap in (-n, 0, n):
                d.ellipse(((px + wrap - rad) * s, (py - rad) * s, (px + wrap + rad) * s, min(py + rad, base) * s),
                          fill=255)
    cover = np.asarray(mask.resize((n, n), Image.Resampling.BOX), dtype=np.float64) / 255.0
    cover = common.glow(cover, 2.0)
    above = np.roll(cover, 5, axis=0)
    lit = np.clip(0.75 - (above - cover) * 2.5 + (cover - common.glow(cover, 6.0)) * 1.5, 0, 1)
    return common.smoothstep(0.2, 0.6, cover), lit


# Where the configured heights land in a round's background. A style's
# stops, hills and glow are given on a scale whose horizon lies at 0.74;
# in a round the camera looks ten degrees down, the horizon sits about 0.3
# below the top of the window and the terrain covers the middle, so the
# scale is squeezed upwards there, and what shows below the terrain's front
# edge is the valley far below, fading into haze.
ROUND_LAYOUT = ((0.0, 0.0), (0.58, 0.26), (0.74, 0.4), (0.86, 0.5), (1.0, 1.0))
FLAT_LAYOUT = ((0.0, 0.0), (1.0, 1.0))


def _to_picture(layout, design):
    return np.interp(design, [p[0] for p in layout], [p[1] for p in layout])


def _to_design(layout, picture):
    return np.interp(picture, [p[1] for p in layout], [p[0] for p in layout])


def sky(style, seed, layout=ROUND_LAYOUT):
    """A background picture of a style of SKIES, stored mirrored. layout
    maps the style's heights into the picture (ROUND_LAYOUT for a round's
    background, FLAT_LAYOUT to take them as they are)."""
    cfg = SKIES[style]
    n = SIZE
    y = (np.arange(n) + 0.5) / n
    x = (np.arange(n) + 0.5) / n
    design = _to_design(layout, y)
    grad = common.colour_ramp(design, cfg["stops"])
    rgb = np.broadcast_to(grad[:, None, :], (n, n, 3)).copy()
    horizon = float(_to_picture(layout, 0.665))
    squeeze = horizon / 0.665

    # The bomb's glow, low on the left.
    yy, xx = np.meshgrid(y, x, indexing="ij")
    glow_y = float(_to_picture(layout, 0.62))
    glow = np.exp(-(((xx - 0.08) / 0.32) ** 2 + ((yy - glow_y) / (0.2 * squeeze)) ** 2)) * cfg["glow_strength"]
    rgb = common.lerp(rgb, np.array(cfg["glow"], float), glow[..., None])
    if cfg["sun"] is not None:
        sx, sy = cfg["sun"]
        sy = float(_to_picture(layout, sy))
        disc = common.smoothstep(0.045, 0.04, np.sqrt((xx - sx) ** 2 + (yy - sy) ** 2))
        halo = np.exp(-((xx - sx) ** 2 + (yy - sy) ** 2) / 0.01) * 0.5
        rgb = common.lerp(rgb, np.array((255, 230, 170), float), np.clip(halo + disc, 0, 1)[..., None])

    # Cumulus clouds: clusters of soft puffs with flat, shaded bases.
    cover, lit = _clouds(n, seed, (0.16 * squeeze + 0.02, 0.5 * squeeze))
    cloud = common.lerp(np.array(cfg["cloud_shade"], float), np.array(cfg["cloud_light"], float), lit[..., None])
    rgb = common.lerp(rgb, cloud, (cover * 0.92)[..., None])

    # The mushroom cloud, soft-edged and hazy with distance: lit on top,
    # glowing from below.
    tall = 0.34 * max(squeeze, 0.75)
    mush = common.glow(_mushroom(n, n * 0.13, n * horizon, n * tall), 1.5)
    shade = common.smoothstep(horizon - tall * 0.9, horizon - tall * 0.1, yy)
    mush_colour = common.lerp(np.array((236, 200, 176), float), np.array(cfg["glow"], float), shade[..., None])
    rgb = common.lerp(rgb, mush_colour, (mush * 0.5)[..., None])

    # Distant hills in layers, each nearer one darker.
    rows = np.arange(n)[:, None]
    for k, (level, colour) in enumerate(cfg["hills"]):
        ridge = common.spectral_noise((1, n), seed + 10 + k, beta=3.4)[0]
        line = _to_picture(layout, level - ridge * (0.05 + 0.03 * k)) * n
        cover = common.smoothstep(-1.0, 1.0, rows - line[None, :])
        rgb = common.lerp(rgb, np.array(colour, float), cover[..., None])
    # The ground below: darker with depth, misty where it meets the hills.
    ground_cover = common.smoothstep(0.78, 0.86, design)[:, None]
    depth = np.clip((y - float(_to_picture(layout, 0.86))) / 0.5, 0.0, 1.0)[:, None, None]
    ground = np.array(cfg["ground"], float) * (1.0 - 0.3 * depth)
    mist = 0.18 * np.exp(-((y - float(_to_picture(layout, 0.86))) / 0.06) ** 2)[:, None, None]
    ground = common.lerp(ground, np.array(cfg["hills"][0][1], float), mist)
    rgb = common.lerp(rgb, np.broadcast_to(ground, (n, n, 3)), np.broadcast_to(ground_cover, (n, n))[..., None])
    return to_image(rgb[:, ::-1])


def generate():
    common.save_png(sky("day", 411), "textures/backgrounds/sky_day.png")
    common.save_png(sky("dusk", 421), "textures/backgrounds/sky_dusk.png")
