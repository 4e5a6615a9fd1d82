# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Terrain pictures: the three tiling detail textures (grass, rock, earth),
colour maps made from height images, and the menu's island backdrop.

How the terrain shader uses them: texture 0, the colour map, is stretched
once over the whole terrain and gives the large-scale colour; its alpha is
a detail mask (0 = water, no detail; 0.5 = earth; 1 = grass). Texture 2,
the grain picture, repeats every 32 units and holds in its red, green and
blue the brightness grain of grass, rock and earth: grass and earth follow
the mask, rock takes over on steep slopes. One read gives all three, which
on a software renderer is much cheaper than three pictures. Without shaders
the game draws texture 1 alone, so the grass texture is a complete ground
texture by itself; texture 3 (earth) is kept for that slot's old meaning and
is not read by the shader."""

import numpy as np
from PIL import Image, ImageDraw

from . import common
from .common import to_image

DETAIL = 256


def _tileable_strokes(size, seed, count, length, width, colours, angle_spread, base_angle=-np.pi / 2):
    """Short strokes (grass blades, cracks) drawn three times over so that
    strokes crossing an edge come back on the opposite side."""
    r = common.rng(seed)
    big = Image.new("RGBA", (size * 3, size * 3), (0, 0, 0, 0))
    d = ImageDraw.Draw(big)
    for _ in range(count):
        x, y = r.uniform(0, size, 2)
        a = base_angle + r.normal(0, angle_spread)
        ln = length * r.uniform(0.5, 1.2)
        c = colours[r.integers(len(colours))]
        alpha = int(r.uniform(90, 200))
        for ox in (0, size, 2 * size):
            for oy in (0, size, 2 * size):
                x0, y0 = x + ox, y + oy
                d.line([(x0, y0), (x0 + np.cos(a) * ln, y0 + np.sin(a) * ln)], fill=c + (alpha,), width=width)
    tile = big.crop((size, size, 2 * size, 2 * size))
    arr = np.asarray(tile, dtype=np.float64)
    return arr[..., :3], arr[..., 3] / 255.0


def grass():
    n = DETAIL
    broad = common.spectral_noise((n, n), 201, beta=2.6)
    fine = common.spectral_noise((n, n), 202, beta=0.8)
    colour = common.colour_ramp(broad * 0.7 + fine * 0.3, [
        (0.0, (52, 96, 34)), (0.45, (84, 136, 48)), (0.75, (112, 160, 58)), (1.0, (140, 176, 72))])
    blades_rgb, blades_a = _tileable_strokes(n, 203, 2600, 7, 1,
                                             [(46, 92, 30), (128, 178, 66), (160, 196, 84), (70, 120, 40)], 0.35)
    colour, _ = common.composite(colour, np.ones((n, n)), blades_rgb, blades_a * 0.8)
    return to_image(colour)


def rock():
    n = DETAIL
    base = common.spectral_noise((n, n), 211, beta=2.2)
    ridges = 1.0 - np.abs(common.spectral_noise((n, n), 212, beta=2.0) * 2.0 - 1.0)
    cracks = common.smoothstep(0.9, 0.99, ridges)
    y = np.arange(n)[:, None] / n
    strata = 0.5 + 0.5 * np.sin(2 * np.pi * (y * 6 + base * 1.5))
    fine = common.spectral_noise((n, n), 213, beta=0.6)
    value = 0.45 * base + 0.2 * strata + 0.35 * fine
    colour = common.colour_ramp(value, [
        (0.0, (78, 74, 70)), (0.4, (118, 110, 100)), (0.7, (150, 142, 128)), (1.0, (182, 176, 162))])
    colour *= (1.0 - 0.55 * cracks)[..., None]
    return to_image(colour)


def earth():
    n = DETAIL
    base = common.spectral_noise((n, n), 221, beta=2.4)
    fine = common.spectral_noise((n, n), 222, beta=0.5)
    colour = common.colour_ramp(base * 0.6 + fine * 0.4, [
        (0.0, (110, 80, 52)), (0.5, (150, 114, 76)), (1.0, (186, 152, 104))])
    # Pebbles, repeated across the edges.
    r = common.rng(223)
    big = Image.new("RGBA", (n * 3, n * 3), (0, 0, 0, 0))
    d = ImageDraw.Draw(big)
    for _ in range(260):
        x, y = r.uniform(0, n, 2)
        rad = r.uniform(1.0, 3.2)
        shade = int(r.uniform(120, 200))
        for ox in (0, n, 2 * n):
            for oy in (0, n, 2 * n):
                cx, cy = x + ox, y + oy
                d.ellipse((cx - rad, cy - rad * 0.8, cx + rad, cy + rad * 0.8),
                          fill=(shade - 40, shade - 50, shade - 60, 255))
                d.ellipse((cx - rad * 0.6, cy - rad * 0.7, cx + rad * 0.3, cy), fill=(shade, shade - 10, shade - 24, 255))
    tile = np.asarray(big.crop((n, n, 2 * n, 2 * n)), dtype=np.float64)
    colour, _ = common.composite(colour, np.ones((n, n)), tile[..., :3], tile[..., 3] / 255.0 * 0.85)
    return to_image(colour)


def mean_luminance(image):
    a = np.asarray(image.convert("RGB"), dtype=np.float64) / 255.0
    return float(np.mean(a[..., 0] * 0.299 + a[..., 1] * 0.587 + a[..., 2] * 0.114))


GRAIN_SCALE = 0.5   # stored grain = grain x 0.5, so the shader multiplies by 2


def _grain(image):
    """Brightness relative to the picture's mean: 1 on average."""
    a = np.asarray(image.convert("RGB"), dtype=np.float64) / 255.0
    luminance = a @ np.array([0.299, 0.587, 0.114])
    return luminance / luminance.mean()


def _double_wrapped(field):
    """Twice the size by linear interpolation that wraps around the edges,
    so that a tiling picture stays seamless."""
    n = field.shape[0]
    out = np.empty((2 * n, 2 * n))
    right = np.roll(field, -1, axis=1)
    out[0::2, 0::2] = field
    out[0::2, 1::2] = 0.5 * (field + right)
    out[1::2] = 0.5 * (out[0::2] + np.roll(out[0::2], -1, axis=0))
    return out


def grain_picture(first, rock_image, earth_image):
    """The grain of texture 1's ground (grass or sand), rock and earth in one
    tiling picture for texture 2's repeat (a 32-unit tile): the 16-unit
    grass and earth tiles twice across, the rock tile at twice its size."""
    channels = [np.tile(_grain(first), (2, 2)), _double_wrapped(_grain(rock_image)),
                np.tile(_grain(earth_image), (2, 2))]
    return to_image(np.dstack(channels) * GRAIN_SCALE * 255.0)


# ---- colour maps ----------------------------------------------------------

def colour_map(red, scale_xy, height_scale, size=(256, 256), seed=1, water_level=None, danger_level=None):
    """The colour map (texture 0) of a terrain, from its height image's red
    channel (a 2D array, rows = image rows). Colours follow height and
    slope: sand and meadow low, rock on steep ground and near the top.
    water_level (a red value) paints everything at or below it as sea;
    danger_level (a red value) paints ground at or below it as scorched
    earth with embers, for a round's deadly low ground. Returns RGBA; the
    alpha is the shader's detail mask."""
    red = np.asarray(red, dtype=np.float64)
    width, height = size
    h = _upsample_rect(red, width, height)
    gy, gx = np.gradient(red * height_scale, scale_xy)
    slope_grid = np.sqrt(gx * gx + gy * gy)
    slope = _upsample_rect(slope_grid, width, height)
    n1 = common.spectral_noise((height, width), seed, beta=2.4)
    n2 = common.spectral_noise((height, width), seed + 1, beta=1.2)
    rel = h / 255.0

    meadow = common.colour_ramp(n1 * 0.8 + n2 * 0.2, [
        (0.0, (60, 100, 46)), (0.5, (82, 122, 54)), (1.0, (108, 140, 66))])
    highland = common.colour_ramp(n1, [(0.0, (96, 114, 58)), (1.0, (128, 130, 78))])
    rock = common.colour_ramp(n2 * 0.6 + n1 * 0.4, [(0.0, (104, 98, 90)), (1.0, (150, 144, 132))])
    sand = common.colour_ramp(n2, [(0.0, (206, 184, 132)), (1.0, (228, 210, 160))])
    colour = meadow
    alpha = np.ones_like(h)
    # Higher meadows turn olive, the tops bare.
    colour = common.lerp(colour, highland, common.smoothstep(0.45, 0.75, rel)[..., None])
    rockiness = np.maximum(common.smoothstep(0.55, 1.1, slope + (n2 - 0.5) * 0.3),
                           common.smoothstep(0.78, 0.92, rel + (n1 - 0.5) * 0.08))
    colour = common.lerp(colour, rock, rockiness[..., None])
    if water_level is not None:
        beach = 1.0 - common.smoothstep(water_level + 5, water_level + 14, h + (n2 - 0.5) * 6)
        colour = common.lerp(colour, sand, beach[..., None])
        alpha = alpha - 0.5 * beach
        sea_share = common.smoothstep(water_level + 2.5, water_level + 0.5, h)
        # Shallow water is turquoise, the open sea deep blue; the distance
        # to the shore comes from a blurred land mask. Surf rings the beach.
        land = (red > water_level + 0.5).astype(np.float64)
        near = common.glow(_upsample_rect(land, width, height), width / 40.0)
        sea = common.colour_ramp(np.clip(near * 1.8, 0, 1) + (n2 - 0.5) * 0.12, [
            (0.0, (30, 62, 140)), (0.4, (36, 96, 164)), (0.75, (56, 150, 178)), (1.0, (96, 190, 186))])
        surf = common.smoothstep(0.45, 0.62, near) * (0.6 + 0.4 * n1)
        sea = common.lerp(sea, np.array([226.0, 240.0, 236.0]), (surf * 0.75)[..., None])
        colour = common.lerp(colour, sea, sea_share[..., None])
        alpha = alpha * (1 - sea_share)
    if danger_level is not None:
        deadly = 1.0 - common.smoothstep(danger_level - 2, danger_level + 6, h)
        scorched = common.colour_ramp(n2, [(0.0, (40, 26, 22)), (0.6, (70, 40, 28)), (1.0, (110, 54, 30))])
        embers = common.smoothstep(0.75, 0.95, common.spectral_noise((height, width), seed + 2, beta=1.0))
        scorched = common.lerp(scorched, np.array([255.0, 120.0, 30.0]), (embers * 0.7)[..., None])
        colour = common.lerp(colour, scorched, deadly[..., None])
        alpha = alpha - 0.5 * deadly
    # A little ambient occlusion: hollows darker than ridges.
    blurred = _blur(h, width / 48.0)
    cavity = np.clip((blurred - h) / 24.0, -1.0, 1.0)
    colour = colour * (1.0 - 0.25 * np.clip(cavity, 0, 1))[..., None] * (1.0 + 0.08 * np.clip(-cavity, 0, 1))[..., None]
    return to_image(np.clip(colour, 0, 255), np.clip(alpha, 0.0, 1.0))


def _upsample_rect(field, width, height):
    gh, gw = field.shape
    gx = (np.arange(width) + 0.5) / width * gw
    gy = (np.arange(height) + 0.5) / height * gh
    x0 = np.clip(np.floor(gx).astype(int), 0, gw - 1)
    y0 = np.clip(np.floor(gy).astype(int), 0, gh - 1)
    x1 = np.clip(x0 + 1, 0, gw - 1)
    y1 = np.clip(y0 + 1, 0, gh - 1)
    fx = (gx - np.floor(gx))[None, :]
    fy = (gy - np.floor(gy))[:, None]
    top = field[y0][:, x0] * (1 - fx) + field[y0][:, x1] * fx
    bottom = field[y1][:, x0] * (1 - fx) + field[y1][:, x1] * fx
    return top * (1 - fy) + bottom * fy


def _blur(field, radius):
    lo, hi = field.min(), field.max()
    span = max(hi - lo, 1e-9)
    norm = (field - lo) / span
    return common.glow(norm, radius) * span + lo


# ---- the menu island ------------------------------------------------------

# 64 x 64 points: the island turns behind the menu at some distance, where
# a finer grid only makes triangles of a few pixels each, and a software
# renderer pays for every one of them.
ISLAND_GRID = 64
ISLAND_SCALE = 6.0        # world units per grid step: 64 x 6 = 384 across
ISLAND_HEIGHT = 0.22      # world units per red step: peaks up to 56
ISLAND_MESH_SCALE = 0.4   # fir height = green x 0.22 x 0.4 world units
WATER = 20                # red value of the sea surface


def _island_noise(seed, beta):
    """Noise made on the twice finer grid the island was first drawn on and
    thinned to every other point, so that the coarser grid keeps its coast,
    mountains and groves."""
    fine = 2 * ISLAND_GRID
    return common.spectral_noise((fine, fine), seed, beta=beta)[::2, ::2]


def island():
    """Height image of the menu backdrop: a mountain island in a shallow
    sea, centred on the point the menu turns about. Red is height, green
    marks firs (their height through the scale rule), blue is unused."""
    n = ISLAND_GRID
    yy, xx = np.mgrid[0:n, 0:n]
    u = (xx - (n - 1) / 2.0) / (n / 2.0)
    v = (yy - (n - 1) / 2.0) / (n / 2.0)
    angle = np.arctan2(v, u)
    radius = np.sqrt(u * u + v * v)
    wobble = _island_noise(301, beta=2.8)
    coast = 0.66 + 0.16 * (wobble - 0.5) + 0.05 * np.sin(3 * angle + 0.7)
    land = common.smoothstep(coast + 0.12, coast - 0.1, radius)

    def bump(cx, cy, r, h):
        return h * np.exp(-((u - cx) ** 2 + (v - cy) ** 2) / (2 * r * r))

    rough = _island_noise(302, beta=2.0)
    ridges = 1.0 - np.abs(_island_noise(303, beta=2.2) * 2.0 - 1.0)
    mountain = bump(-0.08, 0.06, 0.2, 1.0) * (0.55 + 0.65 * ridges)
    hills = (bump(0.3, -0.22, 0.13, 0.42) * (0.7 + 0.5 * ridges) + bump(-0.36, -0.28, 0.12, 0.3)
             + bump(0.28, 0.34, 0.15, 0.28) + bump(-0.3, 0.4, 0.1, 0.2))
    relief = (mountain + hills + 0.08 * rough) * land
    heights = WATER + 6 * common.smoothstep(0.0, 0.25, land) + relief / relief.max() * 172 * land
    heights = np.clip(np.round(heights), 0, 255)
    heights = np.where(land < 0.08, WATER, heights)

    # Firs, in loose groves on meadows and gentle slopes, never on the
    # beach or the bare top.
    r = common.rng(304)
    green = np.zeros((n, n))
    gy, gx = np.gradient(heights * ISLAND_HEIGHT, ISLAND_SCALE)
    slope = np.sqrt(gx * gx + gy * gy)
    rel = heights / 255.0
    suitable = (heights > WATER + 14) & (rel < 0.52) & (slope < 0.6)
    forest = _island_noise(305, beta=2.6)
    # Firs stand at least one grid step (6 units) apart.
    chance = np.where(suitable, 0.45 * common.smoothstep(0.55, 0.8, forest), 0.0)
    for j in range(2, n - 2):
        for i in range(2, n - 2):
            if r.random() < chance[j, i] and green[j - 1:j + 2, i - 1:i + 2].max() == 0:
                tall = r.uniform(8.5, 11.5)   # world units
                green[j, i] = min(255, round(tall / (ISLAND_HEIGHT * ISLAND_MESH_SCALE)))
    rgb = np.dstack([heights, green, np.zeros((n, n))])
    return rgb


def generate():
    textures = {"grass": grass(), "rock": rock(), "earth": earth()}
    for name in ("grass", "earth"):
        common.save_png(textures[name], f"textures/terrain/{name}.png")
    common.save_png(grain_picture(textures["grass"], textures["rock"], textures["earth"]),
                    "textures/terrain/grain.png")
    rgb = island()
    common.save_png(to_image(rgb), "heightmaps/start_height.png")
    colours = colour_map(rgb[..., 0], ISLAND_SCALE, ISLAND_HEIGHT, (256, 256), seed=310, water_level=WATER)
    common.save_png(colours, "heightmaps/start_colour.png")
    common.save_text(
        "resources/heightmaps/start_height.png {s} {s} {h}\n"
        "resources/heightmaps/start_colour.png resources/textures/terrain/grass.png "
        "resources/textures/terrain/grain.png resources/textures/terrain/earth.png\n"
        "24 12 20\n"
        "resources/meshes/tree.zms {m}\n".format(s=ISLAND_SCALE, h=ISLAND_HEIGHT, m=ISLAND_MESH_SCALE),
        "heightmaps/start.txt")
