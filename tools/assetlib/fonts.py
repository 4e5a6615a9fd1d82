# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""The four bitmap fonts: a 15 x 15 grid of square cells, cell 2k holding the
normal and cell 2k + 1 the highlight glyph of character code 33 + k (codes 33
to 145, Windows-1252 above 127). The game measures each glyph's width from
the alpha channel, so every pixel outside the glyph must be fully clear and
every code must leave some ink, even the ones without a character."""

import shutil

import numpy as np
from PIL import Image, ImageDraw, ImageFont

from . import common
from .common import INK, to_image

FIRST_CODE = 33
LAST_CODE = 145
GRID = 15

# Each font: picture side, face, pixel size, outline width. The sizes are
# chosen for the line spacings the screens use: the 14 font writes overlay
# lines 15 units apart, the 18 font text 20 apart, and the 24 font writes the
# two result lines 20 apart (those lines have no descenders, so only the
# capitals must stay under 20 rows).
FONTS = [
    ("fonts/nfont_12auf256.png", 256, common.SANS, 10, 1),
    ("fonts/nfont_14auf256.png", 256, common.SANS_BOLD, 11, 1),
    ("fonts/nfont_18auf512.png", 512, common.SANS_BOLD, 15, 1),
    ("fonts/nfont_24auf512.png", 512, common.SANS_BOLD, 22, 1),
]

TOP_MARGIN = 1           # clear rows above the tallest glyph
ALPHA_FLOOR = 12         # fainter anti-aliasing counts as no ink at all

NORMAL_TOP = np.array((255, 253, 246), dtype=np.float64)
NORMAL_BOTTOM = np.array((222, 228, 244), dtype=np.float64)
HIGHLIGHT_TOP = np.array((255, 240, 150), dtype=np.float64)
HIGHLIGHT_BOTTOM = np.array((255, 150, 30), dtype=np.float64)
HIGHLIGHT_EDGE = np.array((70, 22, 6), dtype=np.float64)
HIGHLIGHT_GLOW = np.array((255, 120, 20), dtype=np.float64)


def character(code):
    """The character a code stands for, or None where Windows-1252 has none
    (127 is a control code; 129, 141, 143 and 144 are unassigned)."""
    if code == 127:
        return None
    try:
        return bytes([code]).decode("cp1252")
    except UnicodeDecodeError:
        return None


def _masks(ch, font, stroke, cell):
    """Fill and outline coverage of one character, baseline at row `cell`,
    drawn on a canvas three cells wide and two high (floats, 0..1)."""
    size = (cell * 3, cell * 2)
    fill = Image.new("L", size, 0)
    outline = Image.new("L", size, 0)
    origin = (cell, cell)
    ImageDraw.Draw(fill).text(origin, ch, font=font, fill=255, anchor="ls")
    ImageDraw.Draw(outline).text(origin, ch, font=font, fill=255, anchor="ls",
                                 stroke_width=stroke, stroke_fill=255)
    return (np.asarray(fill, dtype=np.float64) / 255.0,
            np.asarray(outline, dtype=np.float64) / 255.0)


def _box_masks(cell, cap, stroke):
    """A hollow box for codes without a character, as tall as a capital."""
    size = (cell * 3, cell * 2)
    fill = Image.new("L", size, 0)
    outline = Image.new("L", size, 0)
    width = max(4, int(round(cap * 0.6)))
    box = (cell + stroke, cell - cap, cell + stroke + width, cell - 1)
    ImageDraw.Draw(fill).rectangle(box, outline=255, width=1)
    ImageDraw.Draw(outline).rectangle((box[0] - stroke, box[1] - stroke, box[2] + stroke, box[3] + stroke),
                                      outline=255, width=1 + 2 * stroke)
    return (np.asarray(fill, dtype=np.float64) / 255.0,
            np.asarray(outline, dtype=np.float64) / 255.0)


def _ink_rows_cols(mask):
    rows = np.where(mask.max(axis=1) > 0)[0]
    cols = np.where(mask.max(axis=0) > 0)[0]
    return rows, cols


def _paint(fill, outline, baseline_rows, cell, highlight):
    """Turns the two coverage masks (already cropped to the cell) into RGBA.
    baseline_rows gives the rows' vertical gradient positions."""
    h, w = fill.shape
    t = np.clip(baseline_rows, 0.0, 1.0)[:, None]
    if highlight:
        face = HIGHLIGHT_TOP + (HIGHLIGHT_BOTTOM - HIGHLIGHT_TOP) * t[..., None]
        edge = HIGHLIGHT_EDGE
    else:
        face = NORMAL_TOP + (NORMAL_BOTTOM - NORMAL_TOP) * t[..., None]
        edge = np.array(INK, dtype=np.float64)
    face = np.broadcast_to(face, (h, w, 3))
    outline = np.maximum(outline, fill)
    rgb = edge * (1.0 - fill[..., None]) + face * fill[..., None]
    alpha = outline
    if highlight:
        # An orange glow, kept inside the normal glyph's columns so that a
        # highlighted word is exactly as wide as the plain one.
        halo = common.glow(outline, 1.1) * 0.85
        cols = np.where(outline.max(axis=0) > ALPHA_FLOOR / 255.0)[0]
        keep = np.zeros(w)
        if cols.size:
            keep[cols[0]:cols[-1] + 1] = 1.0
        halo = halo * keep[None, :]
        glow_rgb = np.broadcast_to(HIGHLIGHT_GLOW, (h, w, 3))
        rgb, alpha = common.composite(glow_rgb, halo, rgb, alpha)
    alpha = np.where(alpha * 255.0 < ALPHA_FLOOR, 0.0, alpha)
    # Clear pixels carry the outline colour, so linear filtering at glyph
    # edges never pulls in a bright fringe.
    rgb = np.where(alpha[..., None] > 0, rgb, edge)
    return rgb, alpha


def build_font(size, face, pixels, stroke):
    cell = size // GRID
    font = ImageFont.truetype(face, pixels)
    codes = list(range(FIRST_CODE, LAST_CODE + 1))

    # Vertical placement: one baseline for the whole font, low enough for
    # the tallest glyph (accented capitals) to keep a clear top row.
    masks = {}
    cap = -font.getbbox("H", anchor="ls")[1]
    for code in codes:
        ch = character(code)
        masks[code] = _box_masks(cell, cap, stroke) if ch is None else _masks(ch, font, stroke, cell)
    tops, bottoms = [], []
    for code in codes:
        rows, _ = _ink_rows_cols(masks[code][1])
        if rows.size:
            tops.append(rows[0])
            bottoms.append(rows[-1])
    highest = min(tops)
    shift = highest - TOP_MARGIN           # canvas row that becomes cell row 0
    lowest = max(bottoms) - shift
    if lowest > cell - 1:
        raise ValueError(f"{pixels}px glyphs need {lowest + 1} rows, the cell has {cell}")

    rgb = np.zeros((size, size, 3))
    rgb[:] = INK
    alpha = np.zeros((size, size))
    baseline_in_cell = cell - shift
    cap_top = baseline_in_cell - cap
    for k, code in enumerate(codes):
        fill, outline = masks[code]
        fill = fill[shift:shift + cell]
        outline = outline[shift:shift + cell]
        _, cols = _ink_rows_cols(np.maximum(fill, outline))
        if not cols.size:
            raise ValueError(f"code {code} has no ink")
        fill = fill[:, cols[0]:cols[-1] + 1]
        outline = outline[:, cols[0]:cols[-1] + 1]
        room = cell - 2
        if fill.shape[1] > room:
            # Wide glyphs (per mille, ligatures) are narrowed to fit the cell.
            fill = _narrow(fill, room)
            outline = _narrow(outline, room)
        gradient = (np.arange(cell) - cap_top) / max(cap, 1)
        for highlight in (False, True):
            n = 2 * k + (1 if highlight else 0)
            if n >= GRID * GRID:
                continue
            glyph_rgb, glyph_alpha = _paint(fill, outline, gradient, cell, highlight)
            r, c = divmod(n, GRID)
            x0, y0 = c * cell + 1, r * cell
            w = glyph_alpha.shape[1]
            rgb[y0:y0 + cell, x0:x0 + w] = glyph_rgb
            alpha[y0:y0 + cell, x0:x0 + w] = glyph_alpha
    return to_image(rgb, alpha), baseline_in_cell


def _narrow(mask, width):
    img = Image.fromarray(mask.astype(np.float32), "F")
    return np.clip(np.asarray(img.resize((width, mask.shape[0]), Image.Resampling.LANCZOS),
                              dtype=np.float64), 0.0, 1.0)


def generate():
    info = {}
    for rel, size, face, pixels, stroke in FONTS:
        image, baseline = build_font(size, face, pixels, stroke)
        common.save_png(image, rel)
        info[rel] = baseline
    licence = "/usr/share/doc/fonts-dejavu-core/copyright"
    target = common.out_path("fonts/LICENSE-DejaVu.txt")
    shutil.copyfile(licence, target)
    common.written.append(target)
    with open(common.out_path("fonts/README.txt"), "w", encoding="ascii", newline="\n") as f:
        f.write("The glyphs in these pictures are drawn from the DejaVu fonts (DejaVu Sans,\n"
                "DejaVu Sans Bold) as shipped by Debian's fonts-dejavu-core package.\n"
                "Their licence is in LICENSE-DejaVu.txt beside this file.\n"
                "Regenerate with tools/generate_assets.py.\n")
    common.written.append(common.out_path("fonts/README.txt"))
    return info
