# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""The loading picture: shown once, stretched over the whole window, while
the fonts and the menu load. Pimbo is drawn from his own mesh.

It is composed at 1024 x 768, the window's shape, and stored squeezed to
1024 x 512 (a power-of-two texture); the game stretches it back."""

import numpy as np
from PIL import Image, ImageDraw, ImageFont

from . import common, meshes, preview, raster, scene, sky
from .common import AMBER, INK, to_image

W, H = 1024, 768


def _text_layers(text, font, anchor, at, stroke):
    fill = Image.new("L", (W, H), 0)
    edge = Image.new("L", (W, H), 0)
    ImageDraw.Draw(fill).text(at, text, font=font, anchor=anchor, fill=255)
    ImageDraw.Draw(edge).text(at, text, font=font, anchor=anchor, fill=255, stroke_width=stroke, stroke_fill=255)
    return (np.asarray(fill, dtype=np.float64) / 255.0, np.asarray(edge, dtype=np.float64) / 255.0)


def _pimbo_layer(height_px, centre_x, feet_y):
    """Pimbo rendered with the game's lighting, as RGB and coverage."""
    s = 2
    canvas = raster.Canvas(W * s, H * s, (0, 0, 0), alpha=True)
    mesh = meshes.pimbo()
    texture = preview.texture(meshes.pimbo_texture())
    # A camera a little below his eyes, turned so he runs to the right.
    projection = raster.perspective(30, W / H, 1, 1000)
    distance = 7.3 / (height_px / H) / (2 * np.tan(np.radians(15)))
    ndc_x = centre_x / W * 2 - 1
    ndc_y = 1 - feet_y / H * 2
    half_h = distance * np.tan(np.radians(15))
    offset_x = ndc_x * half_h * W / H
    offset_y = ndc_y * half_h
    modelview = (raster.translate(offset_x, offset_y, -distance) @ raster.rotate(-82, 1, 0, 0)
                 @ raster.rotate(-12, 0, 0, 1) @ raster.rotate(9, 0, 1, 0))
    scene.draw_mesh(canvas, mesh, texture, projection, modelview)
    rgb = np.asarray(Image.fromarray(np.clip(canvas.rgb, 0, 255).astype(np.uint8)).resize((W, H), Image.Resampling.BOX),
                     dtype=np.float64)
    cover = np.asarray(Image.fromarray((canvas.alpha * 255).astype(np.uint8)).resize((W, H), Image.Resampling.BOX),
                       dtype=np.float64) / 255.0
    # Undo the black the edges were averaged with.
    rgb = rgb / np.maximum(cover, 1e-6)[..., None]
    return np.clip(rgb, 0, 255), cover


def loading_picture():
    backdrop = sky.sky("dusk", 421, sky.FLAT_LAYOUT).transpose(Image.Transpose.FLIP_LEFT_RIGHT)
    rgb = np.asarray(backdrop.resize((W, H), Image.Resampling.BICUBIC), dtype=np.float64)
    alpha = np.ones((H, W))

    # The blast's heat along the left edge.
    x = np.arange(W)[None, :]
    heat = np.exp(-x / 90.0) * 0.8
    rgb = common.lerp(rgb, np.array((255, 150, 60), float), np.broadcast_to(heat, (H, W))[..., None])

    # A grassy hill for Pimbo to run on.
    yy, xx = np.mgrid[0:H, 0:W]
    crest = 600 - 60 * np.exp(-((xx - 700) / 330.0) ** 2) + 10 * np.sin(xx / 57.0)
    hill = common.smoothstep(-1.5, 1.5, yy - crest)
    depth = np.clip((yy - crest) / 200.0, 0, 1)
    hill_rgb = common.lerp(np.array((92, 150, 60), float), np.array((30, 60, 34), float), depth[..., None])
    rim = common.smoothstep(4, 0, yy - crest) * hill
    hill_rgb = common.lerp(hill_rgb, np.array((180, 210, 90), float), (rim * 0.7)[..., None])
    rgb, alpha = common.composite(rgb, alpha, hill_rgb, hill)

    # Pimbo, with speed lines behind him.
    pim_rgb, pim_cover = _pimbo_layer(310, 730, 552)
    lines = Image.new("L", (W, H), 0)
    d = ImageDraw.Draw(lines)
    for k, (y0, length) in enumerate([(350, 170), (395, 230), (440, 190), (485, 140)]):
        d.line([(590 - length, y0), (615 - 10 * k, y0)], fill=255, width=5)
    streaks = common.glow(np.asarray(lines, dtype=np.float64) / 255.0, 1.2)
    rgb, alpha = common.composite(rgb, alpha, np.broadcast_to(np.array((255, 236, 200), float), (H, W, 3)), streaks * 0.7)
    shadow = np.exp(-(((xx - 730) / 72.0) ** 2 + ((yy - 556) / 9.0) ** 2)) * 0.45
    rgb, alpha = common.composite(rgb, alpha, np.zeros((H, W, 3)), shadow)
    rgb, alpha = common.composite(rgb, alpha, pim_rgb, pim_cover)

    # The title.
    big = ImageFont.truetype(common.SANS_BOLD_OBLIQUE, 120)
    small = ImageFont.truetype(common.SANS_BOLD, 54)
    fill, edge = _text_layers("KERBOLT", big, "ms", (W // 2, 190), 7)
    shadow = common.glow(edge, 8.0)
    rgb, alpha = common.composite(rgb, alpha, np.zeros((H, W, 3)), shadow * 0.55)
    rgb, alpha = common.composite(rgb, alpha, np.broadcast_to(np.array(INK, float), (H, W, 3)), edge)
    letters = common.colour_ramp(np.clip((yy - 95) / 100.0, 0, 1), [(0.0, (255, 252, 236)), (1.0, (255, 186, 70))])
    rgb, alpha = common.composite(rgb, alpha, letters, fill)
    fill, edge = _text_layers("2 0 0 8", small, "ms", (W // 2 + 40, 262), 5)
    rgb, alpha = common.composite(rgb, alpha, np.broadcast_to(np.array(INK, float), (H, W, 3)), edge)
    rgb, alpha = common.composite(rgb, alpha, np.broadcast_to(np.array(AMBER, float), (H, W, 3)), fill)

    # "Loading" at the bottom.
    label = ImageFont.truetype(common.SANS_BOLD, 40)
    fill, edge = _text_layers("Loading . . .", label, "ls", (70, 700), 4)
    rgb, alpha = common.composite(rgb, alpha, np.broadcast_to(np.array(INK, float), (H, W, 3)), edge)
    rgb, alpha = common.composite(rgb, alpha, np.broadcast_to(np.array((250, 246, 232), float), (H, W, 3)), fill)
    image = to_image(rgb)
    return image.resize((W, 512), Image.Resampling.LANCZOS)


def generate():
    common.save_png(loading_picture(), "textures/loading.png")
