#!/usr/bin/python3

# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Generates the seven levels from the readable descriptions below.

    /usr/bin/python3 tools/levels.py            writes every level's files
    /usr/bin/python3 tools/levels.py --plan     prints the layouts only

Run from anywhere; files go under resources/ of this repository. For each
level it writes the level file (resources/lvls/NAME.txt), the height-field
description (resources/heightmaps/NAME.txt), the height image (red = ground
height, green = trees) and the colour map stretched over the terrain; the
special level also gets its own sand texture, and some levels their own sky
(resources/textures/lvls/). Afterwards run tools/render_thumbnail.py for
the level selection's pictures, and build/levelcheck to prove the levels
winnable. Output is the same on every run.

How a level plays, and what the descriptions are made for:

- The walking line is y = 33, the middle of a terrain 66 deep. Only the
  rows around it matter for play: they carry the profile exactly. Rows in
  front lie a little lower (they must never hide the player), rows behind
  rise into a ridge with trees. Pits are trenches through the whole depth,
  so that they are seen from the side.
- Heights are red values of the height image; one red step is 0.15 world
  units. Walking ground lies between red 140 and 250. The round is lost on
  ground at or below red 127.5, so pit floors lie far below that.
- Walking follows any slope at 80 units a second; a jump covers about 76
  units over level ground, more when it lands lower, less when higher.
- The view scrolls at 100 * speed * (1 + 2t) units a second, and the
  explosion catches the player 55 units behind the view centre; it stops
  80 units before the far end. Gold is won at length / 1.01.
"""

import math
import os
import sys

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from assetlib import common, sky, terrain  # noqa: E402

SCALE = 2.0             # world units per grid step, along x and y
ROWS = 33               # 66 units deep
HEIGHT_SCALE = 0.15     # world units per red step: red 255 is 38.25
MESH_SCALE = 0.4        # tree height = green * 0.15 * 0.4 world units
PATH_ROWS = range(12, 22)  # y 24 to 42 carry the walking profile
PIT_FLOOR = 60          # red of a pit's floor (z 9)
SEA_LEVEL = 30          # red of the sea on a coast, in its inlets too
FRONT_EDGE = 60         # the bank in front of the path runs down to here
LOW_GROUND = 127.5      # the round ends at or below this red value
WALK_MIN, WALK_MAX = 140, 250
COLOUR_MAP_SIZE = (2048, 64)


# ---- segments --------------------------------------------------------------
# Each segment takes the ground from its current height; x lengths are
# world units, heights red values.

class Segment:
    def __init__(self, kind, length, to=None, rise=0, land=None):
        self.kind, self.length, self.to, self.rise, self.land = kind, length, to, rise, land


def flat(length):
    """Level ground."""
    return Segment("flat", length)


def hill(length, rise):
    """A rounded hill (or, with a negative rise, a hollow) that comes back to the same height."""
    return Segment("hill", length, rise=rise)


def climb(length, to):
    """An even slope up to a new height."""
    return Segment("ramp", length, to=to)


def drop(length, to):
    """An even slope down to a new height."""
    return Segment("ramp", length, to=to)


def pit(width, land=None):
    """A trench `width` units wide between its rims' grid points; the ground
    beyond it lies at `land`, or at the height before it."""
    return Segment("pit", width, land=land)


class Look:
    def __init__(self, sky_file, trees, tree_chance, textures=("grass", "grain", "earth"), water=False, tint=None):
        self.sky_file, self.trees, self.tree_chance = sky_file, trees, tree_chance
        self.textures, self.water, self.tint = textures, water, tint


class Level:
    def __init__(self, name, title, speed, length, start, look, segments, seed):
        self.name, self.title, self.speed, self.length = name, title, speed, length
        self.start, self.look, self.segments, self.seed = start, look, segments, seed


# ---- the looks -------------------------------------------------------------

DAY = "resources/textures/backgrounds/sky_day.png"
DUSK = "resources/textures/backgrounds/sky_dusk.png"
STORM = "resources/textures/lvls/sky_storm.png"
NIGHT = "resources/textures/lvls/sky_night.png"
CANYON = "resources/textures/lvls/sky_canyon.png"
FIR = "resources/meshes/tree.zms"
BROADLEAF = "resources/meshes/tree_round.zms"
SAND = "resources/textures/lvls/sand.png"
# Grain of sand, rock and earth for the terrain shader (see assetlib/terrain.py).
SAND_GRAIN = "resources/textures/lvls/sand_grain.png"

# Skies of our own, made by the asset library's sky painter.
EXTRA_SKIES = {
    "storm": (STORM, 431, {
        "stops": [(0.0, (58, 64, 84)), (0.4, (92, 100, 122)), (0.62, (136, 142, 160)), (0.74, (160, 164, 178))],
        "cloud_light": (196, 200, 212), "cloud_shade": (84, 90, 110),
        "hills": [(0.60, (96, 106, 128)), (0.66, (74, 86, 104)), (0.72, (52, 64, 80))],
        "ground": (40, 50, 62), "glow": (255, 150, 80), "glow_strength": 0.5, "sun": None}),
    "night": (NIGHT, 441, {
        "stops": [(0.0, (8, 10, 34)), (0.4, (22, 26, 70)), (0.62, (52, 44, 96)), (0.74, (92, 60, 96))],
        "cloud_light": (110, 100, 150), "cloud_shade": (30, 30, 60),
        "hills": [(0.60, (44, 40, 84)), (0.66, (32, 30, 64)), (0.72, (20, 20, 44))],
        "ground": (14, 14, 30), "glow": (255, 110, 40), "glow_strength": 0.85, "sun": None}),
    "canyon": (CANYON, 451, {
        "stops": [(0.0, (70, 120, 190)), (0.4, (130, 170, 214)), (0.62, (236, 200, 150)), (0.74, (250, 214, 160))],
        "cloud_light": (255, 244, 226), "cloud_shade": (196, 160, 150),
        "hills": [(0.60, (206, 140, 108)), (0.66, (176, 102, 76)), (0.72, (140, 72, 54))],
        "ground": (112, 56, 42), "glow": (255, 160, 80), "glow_strength": 0.6, "sun": (0.8, 0.3)}),
}

MEADOW = Look(DAY, BROADLEAF, 0.10)
COAST = Look(DAY, FIR, 0.07, water=True)
HIGHLAND = Look(DUSK, FIR, 0.06)
AUTUMN = Look(DUSK, BROADLEAF, 0.09, tint="autumn")
STORMY_COAST = Look(STORM, FIR, 0.06, water=True, tint="storm")
ASHEN = Look(NIGHT, FIR, 0.03, tint="ash")
CANYON_LOOK = Look(CANYON, FIR, 0.015, textures=("sand", "sand grain", "earth"), tint="canyon")


# ---- the levels --------------------------------------------------------------

LEVELS = [
    # Teaches: narrow pits on level ground, gentle hills, slow scrolling;
    # time to spare for a beginner who stops now and then.
    Level("lvl1", "Level 1: Green Meadows", 0.04, 760, 180, MEADOW, [
        flat(110), hill(60, 22), flat(40), pit(10), flat(50), climb(40, 200), flat(40), drop(30, 175),
        flat(30), pit(14), flat(60), hill(60, 26), flat(30), pit(18), flat(50), climb(30, 190), flat(20),
        pit(22), flat(40),
    ], seed=1),
    # Longer, a little faster, wider inlets of the sea.
    Level("lvl2", "Level 2: Seaside", 0.045, 780, 175, COAST, [
        flat(100), hill(50, 20), flat(30), pit(16), flat(50), climb(40, 205), flat(30), pit(20), flat(40),
        drop(30, 170), flat(30), pit(24), flat(40), hill(50, 30), flat(20), pit(26), flat(40), climb(40, 210),
        flat(20), pit(30), flat(40),
    ], seed=2),
    # Longer and faster again: climbs to plateaus, a pit right at the top of
    # a climb, less ground between the pits.
    Level("lvl3", "Level 3: Highlands", 0.05, 800, 185, HIGHLAND, [
        flat(90), climb(40, 215), flat(20), pit(22), flat(36), drop(30, 180), pit(28), flat(36), hill(40, 30),
        flat(16), pit(32), flat(30), climb(40, 225), pit(34), flat(36), drop(36, 170), flat(20), pit(38),
        flat(36), climb(30, 200), pit(40), flat(40),
    ], seed=3),
    # Leaps from cliff tops: chasms close to or wider than a jump over level
    # ground, fair only because each lands far lower than it starts.
    Level("lvlSpecial", "Special Level: Canyon Leaps", 0.04, 900, 160, CANYON_LOOK, [
        flat(90), climb(60, 230), flat(16), pit(56, land=165), flat(30), climb(50, 235), flat(14),
        pit(60, land=160), flat(30), climb(50, 228), flat(12), pit(64, land=150), flat(30), climb(60, 240),
        flat(12), pit(68, land=145), flat(30), climb(50, 245), flat(14), pit(70, land=145), flat(30),
    ], seed=4),
    # Faster; wider pits, and pits straight after climbs and drops.
    Level("lvl1b", "Level 4: Autumn Fields", 0.065, 700, 175, AUTUMN, [
        flat(90), hill(40, 24), pit(26), flat(36), climb(36, 205), pit(30), flat(36), pit(34), flat(36),
        climb(36, 215), flat(10), pit(38), flat(30), drop(30, 170), pit(40), flat(30), hill(30, 20), pit(42),
        flat(40),
    ], seed=5),
    # Faster again; wide inlets close behind each other.
    Level("lvl2b", "Level 5: Stormy Coast", 0.08, 640, 180, STORMY_COAST, [
        flat(80), pit(30), flat(34), climb(30, 205), pit(36), flat(32), pit(40), flat(34), drop(30, 175),
        pit(44), flat(34), climb(30, 215), pit(48), flat(32), pit(50), flat(34),
    ], seed=6),
    # Hard but fair: the fastest scroll, the widest pits over level ground,
    # pits on top of climbs and at the foot of drops, little ground between.
    Level("lvl3b", "Level 6: Ashen Heights", 0.1, 600, 185, ASHEN, [
        flat(80), pit(40), flat(30), climb(28, 215), pit(48), flat(30), drop(24, 180), pit(52), flat(30),
        climb(28, 220), pit(56), flat(30), drop(24, 185), pit(58), flat(30),
    ], seed=7),
]


# ---- building ----------------------------------------------------------------

def columns_of(length):
    return max(1, int(round(length / SCALE)))


def build_profile(level):
    """The walking profile, one red value per grid column, and the pit mask."""
    count = columns_of(level.length)
    profile = np.full(count, float(level.start))
    pits = np.zeros(count, dtype=bool)
    at = 0
    height = float(level.start)
    for seg in level.segments:
        n = columns_of(seg.length)
        if at + n > count:
            raise ValueError(f"{level.name}: the segments run past the length {level.length}")
        t = (np.arange(n) + 1) / n
        if seg.kind == "flat":
            profile[at:at + n] = height
        elif seg.kind == "hill":
            profile[at:at + n] = height + seg.rise * 0.5 * (1 - np.cos(2 * np.pi * t))
        elif seg.kind == "ramp":
            profile[at:at + n] = height + (seg.to - height) * common.smoothstep(0.0, 1.0, t)
            height = float(seg.to)
        elif seg.kind == "pit":
            profile[at:at + n] = PIT_FLOOR
            pits[at:at + n] = True
            if seg.land is not None:
                height = float(seg.land)
        at += n
    profile[at:] = height  # flat ground to the far end
    walking = profile[~pits]
    if walking.min() < WALK_MIN or walking.max() > WALK_MAX:
        raise ValueError(f"{level.name}: walking ground {walking.min():.0f}..{walking.max():.0f} "
                         f"leaves {WALK_MIN}..{WALK_MAX}")
    return np.round(profile), pits


def height_image(level, profile, pits):
    """Red: the profile along the path rows; in front a bank down to the
    front edge (into the sea on a coast), behind a ridge; trenches through
    the whole depth where the pits are. Green: trees on the ridge. Also
    returns the trench mask, rows by columns, for the colour map."""
    cols = len(profile)
    rng = common.rng(1000 + level.seed)
    detail = common.spectral_noise((ROWS, cols), 2000 + level.seed, beta=2.2) - 0.5
    ridge_line = common.spectral_noise((1, cols), 3000 + level.seed, beta=3.0)[0]
    j = np.arange(ROWS)[:, None]
    front = np.clip((PATH_ROWS.start - j) / PATH_ROWS.start, 0, 1)           # 1 at the front edge
    back = np.clip((j - PATH_ROWS.stop + 1) / (ROWS - PATH_ROWS.stop), 0, 1)  # 1 at the back edge
    floor = SEA_LEVEL if level.look.water else PIT_FLOOR
    edge = SEA_LEVEL - 20 if level.look.water else FRONT_EDGE
    red = profile[None, :] + (edge - profile[None, :]) * front ** 1.3
    red += (14 + 30 * ridge_line[None, :]) * back ** 1.3 + 8 * detail * np.maximum(front, back)
    # Trenches run through the whole depth, a little wider away from the path.
    near_pit = np.convolve(pits.astype(float), np.ones(3), mode="same") > 0
    trench = np.where(np.maximum(front, back) > 0.4, near_pit[None, :], pits[None, :])
    red = np.where(trench, np.minimum(red, floor + (0 if level.look.water else 6 * detail)), red)
    if level.look.water:
        red = np.maximum(red, SEA_LEVEL)  # the sea is flat
    red[PATH_ROWS.start:PATH_ROWS.stop, :] = profile[None, :]
    red[PATH_ROWS.start:PATH_ROWS.stop, pits] = floor
    red = np.clip(np.round(red), 0, 255)

    green = np.zeros_like(red)
    clear = np.convolve(pits.astype(float), np.ones(9), mode="same") == 0
    last = -10
    for i in range(cols):
        if clear[i] and i - last >= 3 and rng.random() < level.look.tree_chance * 3:
            row = int(rng.integers(PATH_ROWS.stop + 3, ROWS - 1))
            tall = rng.uniform(6.0, 11.0)
            green[row, i] = min(255, round(tall / (HEIGHT_SCALE * MESH_SCALE)))
            last = i
    return np.dstack([red, green, np.zeros_like(red)]).astype(np.uint8), trench


def tinted(rgb, tint):
    """Colours of the asset library's colour map in another season or light."""
    luma = rgb @ np.array([0.299, 0.587, 0.114])
    if tint == "autumn":
        greenness = np.clip((rgb[..., 1] - np.maximum(rgb[..., 0], rgb[..., 2])) / 20.0, 0, 1)[..., None]
        autumn = np.stack([luma * 1.8, luma * 0.9, luma * 0.3], axis=-1)
        return rgb * (1 - greenness) + autumn * greenness
    if tint == "storm":
        return (rgb * 0.6 + luma[..., None] * 0.4) * np.array([0.82, 0.88, 0.98])
    if tint == "ash":
        return (rgb * 0.35 + luma[..., None] * 0.65) * np.array([0.7, 0.68, 0.72])
    return rgb


def stretched(grid, width, height):
    """A grid (rows by columns) resampled bilinearly to width x height."""
    field = Image.fromarray(np.asarray(grid, dtype=np.float32), mode="F")
    return np.asarray(field.resize((width, height), Image.Resampling.BILINEAR), dtype=np.float64)


def scorched(shape, seed):
    """Burnt ground with embers: the floor of a deadly pit."""
    noise = common.spectral_noise(shape, seed, beta=1.2)
    rgb = common.colour_ramp(noise, [(0.0, (40, 26, 22)), (0.6, (70, 40, 28)), (1.0, (110, 54, 30))])
    embers = common.smoothstep(0.75, 0.95, common.spectral_noise(shape, seed + 1, beta=1.0))
    return common.lerp(rgb, np.array([255.0, 120.0, 30.0]), (embers * 0.7)[..., None])


def sandstone(red, seed):
    """Sandstone in bands by height."""
    width, height = COLOUR_MAP_SIZE
    h = stretched(red, width, height)
    noise = common.spectral_noise((height, width), 5000 + seed, beta=2.0)
    bands = 0.5 + 0.5 * np.sin(h / 6.0 + noise * 2.0)
    return common.colour_ramp(bands * 0.7 + noise * 0.3, [
        (0.0, (150, 78, 52)), (0.35, (196, 116, 70)), (0.7, (222, 156, 98)), (1.0, (236, 196, 140))])


def colour_map(level, rgb_height, trench):
    """Texture 0: the asset library's colour map (or sandstone), tinted for
    the level's look; pit floors burnt, except on a coast where they are sea."""
    red = rgb_height[..., 0]
    width, height = COLOUR_MAP_SIZE
    if level.look.tint == "canyon":
        rgb, alpha = sandstone(red, level.seed), np.ones((height, width))
    else:
        water = SEA_LEVEL + 4 if level.look.water else None
        base = np.asarray(terrain.colour_map(red, SCALE, HEIGHT_SCALE, COLOUR_MAP_SIZE, seed=600 + level.seed,
                                             water_level=water), dtype=np.float64)
        rgb, alpha = tinted(base[..., :3], level.look.tint), base[..., 3] / 255.0
    if not level.look.water:
        burnt = common.smoothstep(0.3, 0.7, stretched(trench, width, height))
        burnt *= common.smoothstep(LOW_GROUND + 4, LOW_GROUND - 8, stretched(red, width, height))
        rgb = common.lerp(rgb, scorched((height, width), 800 + level.seed), burnt[..., None])
        alpha = alpha * (1 - 0.5 * burnt)
    return common.to_image(np.clip(rgb, 0, 255), np.clip(alpha, 0, 1))


def sand_texture():
    """A tileable sand texture whose mean brightness equals the grass
    texture's: the terrain shader divides texture 1's grain by that mean."""
    n = terrain.DETAIL
    broad = common.spectral_noise((n, n), 701, beta=2.4)
    fine = common.spectral_noise((n, n), 702, beta=0.7)
    yy, xx = np.mgrid[0:n, 0:n] / n
    ripples = 0.5 + 0.5 * np.sin(2 * np.pi * (5 * xx + 3 * yy) + broad * 4)
    value = 0.45 * broad + 0.25 * ripples + 0.3 * fine
    rgb = common.colour_ramp(value, [(0.0, (170, 120, 80)), (0.5, (206, 160, 110)), (1.0, (236, 204, 150))])
    grass = Image.open(common.out_path("textures/terrain/grass.png"))
    target = terrain.mean_luminance(grass) * 255.0
    rgb *= target / (rgb @ np.array([0.299, 0.587, 0.114])).mean()
    return common.to_image(np.clip(rgb, 0, 255))


def description_text(level, length):
    tex = {"grass": "resources/textures/terrain/grass.png", "grain": "resources/textures/terrain/grain.png",
           "earth": "resources/textures/terrain/earth.png", "sand": SAND, "sand grain": SAND_GRAIN}
    names = " ".join(tex[t] for t in level.look.textures)
    # Grain about every 16, 32 and 20 units, as on the menu's island.
    repeats = f"{length / 16:g} {length / 32:g} {length / 20:g}"
    return (f"resources/heightmaps/{level.name}_height.png {SCALE:g} {SCALE:g} {HEIGHT_SCALE:g}\n"
            f"resources/heightmaps/{level.name}_colour.png {names}\n"
            f"{repeats}\n"
            f"{level.look.trees} {MESH_SCALE:g}\n")


def plan_text(level, profile, pits):
    """One line per pit: where it lies and the ground on both sides."""
    lines = [f"{level.name}: {level.title}, length {len(profile) * SCALE:g}, speed {level.speed:g}"]
    i = 0
    while i < len(pits):
        if pits[i]:
            k = i
            while k < len(pits) and pits[k]:
                k += 1
            before = profile[i - 1] if i > 0 else float("nan")
            after = profile[k] if k < len(pits) else float("nan")
            lines.append(f"  pit at x {i * SCALE:6.0f}..{k * SCALE:6.0f}  width {(k - i) * SCALE:3.0f}  "
                         f"rims {before:3.0f} -> {after:3.0f}")
            i = k
        else:
            i += 1
    return "\n".join(lines)


def write_level(level):
    profile, pits = build_profile(level)
    rgb, trench = height_image(level, profile, pits)
    path = common.out_path(f"heightmaps/{level.name}_height.png")
    Image.fromarray(rgb, "RGB").save(path, format="PNG", optimize=True)
    common.written.append(path)
    common.save_png(colour_map(level, rgb, trench), f"heightmaps/{level.name}_colour.png")
    common.save_text(description_text(level, len(profile) * SCALE), f"heightmaps/{level.name}.txt")
    common.save_text(f"{level.title}\nresources/heightmaps/{level.name}.txt {level.look.sky_file} {level.speed:g}\n",
                     f"lvls/{level.name}.txt")
    return plan_text(level, profile, pits)


def write_extras():
    for style, (file, seed, config) in EXTRA_SKIES.items():
        sky.SKIES[style] = config
        common.save_png(sky.sky(style, seed), file[len("resources/"):])
    sand = sand_texture()
    common.save_png(sand, SAND[len("resources/"):])
    common.save_png(terrain.grain_picture(sand, terrain.rock(), terrain.earth()), SAND_GRAIN[len("resources/"):])


def main(argv):
    if argv[1:] == ["--plan"]:
        for level in LEVELS:
            print(plan_text(level, *build_profile(level)))
        return 0
    if len(argv) != 1:
        print(__doc__, file=sys.stderr)
        return 2
    write_extras()
    for level in LEVELS:
        print(write_level(level))
    for path in common.written:
        print(f"levels: {os.path.relpath(path, common.REPO)}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
