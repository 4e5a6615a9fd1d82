# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Menu pictures: the widget texture, the menu's shade frame, the medals, the
explosion band and the default picture.

Several of these are drawn through texture coordinates that turn them: the
widget texture's rows run from a widget's bottom edge upwards, the
explosion band's first row lies at the bottom of the screen, and the menu
shade's bottom band is shown upside down and mirrored. Each picture is
designed the right way round and then turned here, so that the player sees
it as designed."""

import numpy as np
from PIL import Image, ImageDraw, ImageFont

from . import common
from .common import AMBER, AMBER_LIGHT, CREAM, EMBER, INK, NAVY, NAVY_LIGHT, to_image

SS = 4  # supersampling factor for vector shapes


def _mask(size, painter):
    """Coverage (0..1) of shapes drawn by painter(draw, s) at SS times the size."""
    big = Image.new("L", (size[0] * SS, size[1] * SS), 0)
    painter(ImageDraw.Draw(big), SS)
    small = big.resize(size, Image.Resampling.BOX)
    return np.asarray(small, dtype=np.float64) / 255.0


def _vgradient(h, w, top, bottom):
    t = np.linspace(0.0, 1.0, h)[:, None, None]
    return np.broadcast_to(np.array(top, float) * (1 - t) + np.array(bottom, float) * t, (h, w, 3)).copy()


def _over(rgb, alpha, colour, cover):
    colour = np.broadcast_to(np.asarray(colour, dtype=np.float64), rgb.shape)
    return common.composite(rgb, alpha, colour, cover)


# ---- widget texture -------------------------------------------------------

BUTTON_W = 256
SLANT_X = 46          # where the tab's slanted left edge meets the bottom
SLANT = 12            # how far the edge leans to the right at the top


def _button(height, hovered):
    """A text button as the player sees it (row 0 = top edge). The caption
    starts 136 units from the left edge, so the left part carries the
    ornament: speed stripes and a diamond bullet. The right end runs off
    the screen (buttons stand 6 units past the right edge), so it is open."""
    w, h = BUTTON_W, height

    def tab(d, s):
        d.polygon([((SLANT_X + SLANT) * s, 1 * s), (w * s + s, 1 * s),
                   (w * s + s, (h - 1) * s), (SLANT_X * s, (h - 1) * s)], fill=255)

    panel = _mask((w, h), tab)
    if hovered:
        fill = _vgradient(h, w, (176, 74, 22), (84, 24, 10))
        rim, accent, bullet, stripe = (255, 214, 140), AMBER_LIGHT, (255, 246, 190), AMBER
        panel_alpha = 0.93
    else:
        fill = _vgradient(h, w, (44, 60, 112), (16, 22, 46))
        rim, accent, bullet, stripe = NAVY_LIGHT, AMBER, AMBER, (76, 98, 160)
        panel_alpha = 0.84
    # The glass gets lighter towards the caption side.
    ramp = common.smoothstep(SLANT_X, SLANT_X + 90, np.arange(w))[None, :]
    alpha = panel * panel_alpha * (0.78 + 0.22 * ramp)
    rgb = fill

    # A sheen over the upper half of the glass.
    sheen = np.zeros((h, w))
    sheen[1:h // 2, :] = np.linspace(0.22, 0.0, h // 2 - 1)[:, None]
    rgb, alpha = _over(rgb, alpha, (255, 255, 255), sheen * panel)

    def top_rim(d, s):
        d.line([((SLANT_X + SLANT) * s, 1 * s + s // 2), (w * s + s, 1 * s + s // 2)], fill=255, width=s)

    rgb, alpha = _over(rgb, alpha, rim, _mask((w, h), top_rim) * 0.9)

    def bottom_accent(d, s):
        d.rectangle((SLANT_X * s + 2 * s, (h - 3) * s, w * s + s, (h - 1) * s), fill=255)

    rgb, alpha = _over(rgb, alpha, accent, _mask((w, h), bottom_accent))

    def stripes(d, s):
        for x in (8, 20, 32):
            d.polygon([((x + SLANT) * s, 6 * s), ((x + SLANT + 6) * s, 6 * s),
                       ((x + 6) * s, (h - 6) * s), (x * s, (h - 6) * s)], fill=255)

    fade = common.smoothstep(0, 40, np.arange(w))[None, :]
    rgb, alpha = _over(rgb, alpha, stripe, _mask((w, h), stripes) * fade * 0.9)

    cy = (h - 1) / 2.0 + 0.5
    cx = 121

    def diamond(d, s, r):
        d.polygon([((cx) * s, (cy - r) * s), ((cx + r) * s, cy * s),
                   (cx * s, (cy + r) * s), ((cx - r) * s, cy * s)], fill=255)

    if hovered:
        halo = common.glow(_mask((w, h), lambda d, s: diamond(d, s, 6)), 3.0) * 0.9
        rgb, alpha = _over(rgb, alpha, (255, 200, 60), halo)
    rgb, alpha = _over(rgb, alpha, INK, _mask((w, h), lambda d, s: diamond(d, s, 6.5)))
    rgb, alpha = _over(rgb, alpha, bullet, _mask((w, h), lambda d, s: diamond(d, s, 5)))
    return rgb, alpha


FRAME = 128
BORDER = 3
PLATE = 20            # the caption plate along the bottom edge


def _frame(hovered):
    """The picture button's frame as the player sees it: an open window for
    the level picture, a rounded border and a plate for the caption, which
    the game writes 3 units from the left and 16 up from the bottom."""
    n = FRAME
    radius = 10

    def outer(d, s):
        d.rounded_rectangle((0, 0, n * s - 1, n * s - 1), radius=radius * s, fill=255)

    def inner(d, s):
        d.rounded_rectangle((BORDER * s, BORDER * s, (n - BORDER) * s - 1, (n - BORDER) * s - 1),
                            radius=(radius - BORDER) * s, fill=255)

    outer_m = _mask((n, n), outer)
    inner_m = _mask((n, n), inner)
    border = np.clip(outer_m - inner_m, 0, 1)
    rgb = np.zeros((n, n, 3))
    alpha = np.zeros((n, n))

    if hovered:
        # A warm glow inside the frame, strongest at the edge.
        inward = common.glow(1.0 - inner_m, 5.0) * inner_m
        rgb, alpha = _over(rgb, alpha, (255, 170, 50), np.clip(inward * 1.3, 0, 0.75))
        border_top, border_bottom = (255, 236, 170), (236, 120, 24)
        plate_colour, plate_alpha = (66, 20, 6), 0.9
    else:
        inward = common.glow(1.0 - inner_m, 4.0) * inner_m
        rgb, alpha = _over(rgb, alpha, INK, np.clip(inward * 0.9, 0, 0.45))
        border_top, border_bottom = (112, 134, 196), (34, 46, 92)
        plate_colour, plate_alpha = (14, 18, 36), 0.78

    plate = np.zeros((n, n))
    plate[n - PLATE:, :] = 1.0
    plate *= inner_m
    rgb, alpha = _over(rgb, alpha, plate_colour, plate * plate_alpha)

    def plate_line(d, s):
        d.line([(BORDER * s, (n - PLATE) * s), ((n - BORDER) * s, (n - PLATE) * s)], fill=255, width=s)

    rgb, alpha = _over(rgb, alpha, border_bottom, _mask((n, n), plate_line) * 0.9)
    border_rgb = _vgradient(n, n, border_top, border_bottom)
    rgb, alpha = common.composite(rgb, alpha, border_rgb, border)

    def outline(d, s):
        d.rounded_rectangle((0, 0, n * s - 1, n * s - 1), radius=radius * s, outline=255, width=s)

    rgb, alpha = _over(rgb, alpha, INK, _mask((n, n), outline) * 0.8)
    return rgb, alpha


def gui_texture():
    """256 x 256: button bands in rows 0-37 (away) and 38-74 (pointer over),
    picture-button frames in rows 128-255 (left half: pointer over, right
    half: away). All are stored bottom row first."""
    rgb = np.zeros((256, 256, 3))
    rgb[:] = NAVY
    alpha = np.zeros((256, 256))
    away_rgb, away_a = _button(38, hovered=False)
    over_rgb, over_a = _button(37, hovered=True)
    rgb[0:38], alpha[0:38] = away_rgb[::-1], away_a[::-1]
    rgb[38:75], alpha[38:75] = over_rgb[::-1], over_a[::-1]
    hover_rgb, hover_a = _frame(hovered=True)
    still_rgb, still_a = _frame(hovered=False)
    rgb[128:256, 0:128], alpha[128:256, 0:128] = hover_rgb[::-1], hover_a[::-1]
    rgb[128:256, 128:256], alpha[128:256, 128:256] = still_rgb[::-1], still_a[::-1]
    return to_image(rgb, alpha)


# ---- the menu's shade frame ------------------------------------------------

def _logo(width, height, text_size):
    """Fonts for the game's name and year, and a function that turns a text
    drawing into a coverage mask of the given size (drawn supersampled)."""
    font_big = ImageFont.truetype(common.SANS_BOLD_OBLIQUE, text_size * SS)
    font_year = ImageFont.truetype(common.SANS_BOLD, int(text_size * 0.55) * SS)
    canvas = (width * SS, height * SS)

    def text_mask(draw_fn):
        img = Image.new("L", canvas, 0)
        draw_fn(ImageDraw.Draw(img))
        return np.asarray(img.resize((width, height), Image.Resampling.BOX), dtype=np.float64) / 255.0

    return font_big, font_year, text_mask


def shade_texture():
    """512 x 512. Rows 0-102 are the top bar (row 0 at the window's top
    edge): the right 512 units show it one to one, the rest of the width
    stretches its leftmost tenth, which is therefore plain. Rows 108-204 are
    the bottom band, shown upside down, mirrored and stretched over the
    whole width."""
    size = 512
    rgb = np.zeros((size, size, 3))
    rgb[:] = INK
    alpha = np.zeros((size, size))

    # Top bar: dark glass fading downwards, an amber rule, and the logo.
    bar_h = 103
    bar_rgb = _vgradient(bar_h, size, (10, 14, 30), (30, 40, 80))
    t = np.linspace(0.0, 1.0, bar_h)
    bar_alpha = np.broadcast_to((0.86 - 0.5 * t ** 1.6)[:, None], (bar_h, size)).copy()
    bar_alpha[-8:] *= np.linspace(1.0, 0.0, 8)[:, None]
    rule = np.zeros((bar_h, size))
    rule[bar_h - 11:bar_h - 9, :] = 1.0
    rule[bar_h - 9, :] = 0.4
    # The rule grows from nothing on the left part (the stretched tenth
    # carries only its faint start) to full strength under the logo.
    rule *= common.smoothstep(30, 300, np.arange(size))[None, :] * 0.9 + 0.1
    bar_rgb, bar_alpha = _over(bar_rgb, bar_alpha, AMBER, rule)

    big, year, text_mask = _logo(size, bar_h, 46)
    s = SS
    name_m = text_mask(lambda d: d.text((496 * s, 64 * s), "KERBOLT", font=big, anchor="rs", fill=255))
    name_outline = text_mask(lambda d: d.text((496 * s, 64 * s), "KERBOLT", font=big, anchor="rs",
                                              stroke_width=3 * s, stroke_fill=255, fill=255))
    year_m = text_mask(lambda d: d.text((494 * s, 86 * s), "2 0 0 8", font=year, anchor="rs", fill=255))
    year_outline = text_mask(lambda d: d.text((494 * s, 86 * s), "2 0 0 8", font=year, anchor="rs",
                                              stroke_width=2 * s, stroke_fill=255, fill=255))
    shadow = common.glow(name_outline, 3.0)
    bar_rgb, bar_alpha = _over(bar_rgb, bar_alpha, (0, 0, 0), shadow * 0.55)
    bar_rgb, bar_alpha = _over(bar_rgb, bar_alpha, INK, name_outline)
    letters = _vgradient(bar_h, size, (255, 252, 236), (255, 196, 90))
    bar_rgb, bar_alpha = common.composite(bar_rgb, bar_alpha, letters, name_m)
    bar_rgb, bar_alpha = _over(bar_rgb, bar_alpha, INK, year_outline)
    bar_rgb, bar_alpha = _over(bar_rgb, bar_alpha, AMBER, year_m)
    rgb[0:bar_h], alpha[0:bar_h] = bar_rgb, bar_alpha

    # Bottom band (as seen: row 0 at y = 100, last row at the bottom edge).
    band_h = 204 - 108 + 1
    band_rgb = _vgradient(band_h, size, (30, 40, 80), (8, 10, 24))
    t = np.linspace(0.0, 1.0, band_h)
    band_alpha = np.broadcast_to((0.25 + 0.6 * t ** 0.8)[:, None], (band_h, size)).copy()
    band_alpha[:10] *= np.linspace(0.0, 1.0, 10)[:, None]
    line = np.zeros((band_h, size))
    line[10:12, :] = 0.9
    band_rgb, band_alpha = _over(band_rgb, band_alpha, AMBER, line)
    # Faint hazard chevrons along the bottom, for a bit of texture.
    yy, xx = np.mgrid[0:band_h, 0:size]
    chevron = ((xx + (band_h - yy)) // 10) % 2
    chevron_cover = chevron * common.smoothstep(band_h - 16, band_h - 10, yy) * 0.10
    band_rgb, band_alpha = _over(band_rgb, band_alpha, AMBER, chevron_cover)
    band_rgb, band_alpha = band_rgb[::-1, ::-1], band_alpha[::-1, ::-1]
    rgb[108:108 + band_h], alpha[108:108 + band_h] = band_rgb, band_alpha
    # Pad the rows around the band so linear filtering at its edges
    # repeats the band instead of fading into black.
    rgb[105:108], alpha[105:108] = rgb[108], alpha[108]
    rgb[205:208], alpha[205:208] = rgb[204], alpha[204]
    return to_image(rgb, alpha)


# ---- medals ---------------------------------------------------------------

METALS = {
    "gold": ((255, 236, 140), (232, 170, 30), (140, 86, 10)),
    "silver": ((250, 252, 255), (184, 194, 210), (92, 100, 120)),
    "bronze": ((250, 196, 140), (196, 112, 54), (104, 52, 20)),
}
RIBBONS = {"gold": (210, 40, 46), "silver": (40, 92, 190), "bronze": (40, 140, 80)}


def medal(kind):
    """A 64 x 64 medal: ribbon tails, a rim and a star, lit from the top
    left. It is drawn centred on a level button's corner, so the disc fills
    most of the square and the rest stays clear."""
    n = 64
    light, mid, dark = (np.array(c, dtype=np.float64) for c in METALS[kind])
    ribbon = np.array(RIBBONS[kind], dtype=np.float64)
    rgb = np.zeros((n, n, 3))
    alpha = np.zeros((n, n))

    def tails(d, s):
        d.polygon([(18 * s, 2 * s), (30 * s, 2 * s), (34 * s, 30 * s), (22 * s, 30 * s)], fill=255)
        d.polygon([(34 * s, 2 * s), (46 * s, 2 * s), (42 * s, 30 * s), (30 * s, 30 * s)], fill=255)

    tail_m = _mask((n, n), tails)
    stripe = (np.arange(n)[None, :] % 6 < 2).astype(float)
    tail_rgb = np.broadcast_to(ribbon, (n, n, 3)) * (0.85 + 0.25 * stripe[..., None])
    shadow = common.glow(tail_m, 1.5)
    rgb, alpha = _over(rgb, alpha, (0, 0, 0), shadow * 0.4)
    rgb, alpha = common.composite(rgb, alpha, np.clip(tail_rgb, 0, 255), tail_m)

    cx, cy, r = 32.0, 38.0, 21.0

    def disc(d, s, rad):
        d.ellipse(((cx - rad) * s, (cy - rad) * s, (cx + rad) * s, (cy + rad) * s), fill=255)

    yy, xx = np.mgrid[0:n, 0:n] + 0.5
    shading = np.clip(((cx - xx) * 0.6 + (cy - yy) * 0.8) / r * 0.5 + 0.5, 0, 1)
    metal = np.where(shading[..., None] > 0.5,
                     mid + (light - mid) * ((shading[..., None] - 0.5) * 2),
                     dark + (mid - dark) * (shading[..., None] * 2))
    inner_metal = np.where(shading[..., None] < 0.5,
                           mid + (light - mid) * ((0.5 - shading[..., None]) * 2),
                           dark + (mid - dark) * ((1.0 - shading[..., None]) * 2))
    outer = _mask((n, n), lambda d, s: disc(d, s, r + 1.2))
    rgb, alpha = _over(rgb, alpha, (0, 0, 0), common.glow(outer, 1.6) * 0.45)
    rgb, alpha = _over(rgb, alpha, INK, outer)
    rgb, alpha = common.composite(rgb, alpha, metal, _mask((n, n), lambda d, s: disc(d, s, r)))
    rgb, alpha = common.composite(rgb, alpha, inner_metal * 0.92 + mid * 0.08,
                                  _mask((n, n), lambda d, s: disc(d, s, r - 4)))

    def star(d, s, rad, inner_ratio=0.45):
        pts = []
        for i in range(10):
            a = -np.pi / 2 + i * np.pi / 5
            rr = rad if i % 2 == 0 else rad * inner_ratio
            pts.append(((cx + rr * np.cos(a)) * s, (cy + 0.5 + rr * np.sin(a)) * s))
        d.polygon(pts, fill=255)

    star_m = _mask((n, n), lambda d, s: star(d, s, 12.5))
    rgb, alpha = _over(rgb, alpha, dark * 0.8, common.glow(star_m, 0.8) * 0.9)
    rgb, alpha = common.composite(rgb, alpha, metal, star_m)
    # A glint on the rim.
    glint = np.exp(-(((xx - 22) ** 2) + ((yy - 25) ** 2)) / 6.0)
    rgb, alpha = _over(rgb, alpha, (255, 255, 255), glint * 0.8 * outer)
    return to_image(rgb, alpha)


# ---- explosion band -------------------------------------------------------

def explosion():
    """64 x 512, drawn 25 units wide over the full window height at the left
    edge, first row at the bottom of the screen. Fire is white-hot at the
    screen edge and licks to the right in tongues that rise; the picture
    repeats seamlessly from top to bottom."""
    w, h = 64, 512
    n1 = common.spectral_noise((h, w), 101, beta=2.4)
    n2 = common.spectral_noise((h, w), 102, beta=3.2)
    # Stretch the turbulence upwards so the tongues look like rising flames.
    tongues = common.spectral_noise((h // 8, w), 103, beta=2.2)
    tongues = np.asarray(Image.fromarray(tongues.astype(np.float32), "F").resize((w, h), Image.Resampling.BICUBIC))
    x = (np.arange(w) + 0.5) / w
    reach = 0.45 + 0.5 * tongues + 0.12 * (n1 - 0.5)
    heat = np.clip(1.0 - x[None, :] / np.maximum(reach, 0.05), 0.0, 1.0)
    heat = heat ** 0.9 * (0.85 + 0.3 * n2)
    heat = np.clip(heat, 0, 1)
    colour = common.colour_ramp(heat, [
        (0.00, (60, 8, 4)),
        (0.18, (150, 24, 8)),
        (0.40, EMBER),
        (0.62, (255, 150, 30)),
        (0.82, (255, 224, 120)),
        (1.00, (255, 252, 236)),
    ])
    alpha = np.clip(common.smoothstep(0.0, 0.35, heat) * 0.95 + 0.05 * common.smoothstep(0.0, 0.1, heat), 0, 1)
    # Smoke in front of the flames' outer edge.
    smoke = common.smoothstep(0.0, 0.25, heat) * (1 - common.smoothstep(0.2, 0.5, heat)) * n1 * 0.5
    colour, alpha = _over(colour, alpha, (40, 20, 18), smoke)
    alpha[:, 0:2] = np.maximum(alpha[:, 0:2], 0.98)
    return to_image(colour[::-1], alpha[::-1])


# ---- default picture ------------------------------------------------------

def standard_picture():
    """128 x 128: shown where a picture is missing. Unmistakable but in the
    game's colours: hazard stripes round a dark tile with a question mark."""
    n = 128
    yy, xx = np.mgrid[0:n, 0:n]
    stripes = ((xx + yy) // 12) % 2
    rgb = np.where(stripes[..., None] == 0, np.array(AMBER, float), np.array(INK, float))
    alpha = np.ones((n, n))
    inner = (xx >= 12) & (xx < n - 12) & (yy >= 12) & (yy < n - 12)
    tile = _vgradient(n, n, (44, 60, 112), (18, 24, 50))
    rgb = np.where(inner[..., None], tile, rgb)
    font = ImageFont.truetype(common.SANS_BOLD, 84 * SS)

    def mark(d, s, stroke):
        d.text((64 * s, 66 * s), "?", font=font, anchor="mm", fill=255, stroke_width=stroke * s, stroke_fill=255)

    rgb, alpha = _over(rgb, alpha, INK, _mask((n, n), lambda d, s: mark(d, s, 4)))
    rgb, alpha = _over(rgb, alpha, CREAM, _mask((n, n), lambda d, s: mark(d, s, 0)))
    return to_image(rgb)


def generate():
    common.save_png(gui_texture(), "textures/gui.png")
    common.save_png(shade_texture(), "textures/menue_shade.png")
    common.save_png(explosion(), "textures/explosion.png")
    common.save_png(standard_picture(), "textures/standardpic.png")
    for kind in ("gold", "silver", "bronze"):
        common.save_png(medal(kind), f"textures/prize/{kind}.png")
