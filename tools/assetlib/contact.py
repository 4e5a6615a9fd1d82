# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""docs/assets.png: every picture of the resources tree on one sheet, with
renders of the meshes and the waveforms of the sounds, so the whole tree
can be seen at a glance. Transparent pictures lie on a checkerboard."""

import os
import wave

import numpy as np
from PIL import Image, ImageDraw, ImageFont

from . import common, meshes, preview, raster, scene

CELL = 196
CELL_H = 184
PICTURE = 144
COLUMNS = 6
BACKGROUND = (34, 38, 52)
LABEL = (232, 232, 240)
DIM = (150, 156, 180)


def _checker(size):
    yy, xx = np.mgrid[0:size[1], 0:size[0]]
    light = ((xx // 8 + yy // 8) % 2 == 0)
    rgb = np.where(light[..., None], np.array((205, 205, 215)), np.array((160, 160, 175)))
    return Image.fromarray(rgb.astype(np.uint8), "RGB")


def _fit(image):
    """Scaled to the cell; very flat pictures (level strips) are shown at
    least a third of the cell high so that they can be seen."""
    w, h = image.size
    k = min(PICTURE / w, PICTURE / h, 2.0)
    size = (max(1, round(w * k)), max(PICTURE // 3, round(h * k)))
    resample = Image.Resampling.NEAREST if k >= 1 else Image.Resampling.LANCZOS
    if image.mode == "RGBA":
        shown = _checker(size)
        shown.paste(image.resize(size, resample), (0, 0), image.resize(size, resample))
        return shown
    return image.convert("RGB").resize(size, resample)


def _mesh_picture(path):
    mesh = meshes.read_zms(path)
    tex_path = os.path.join(common.REPO, mesh.texture)
    texture = preview.texture(Image.open(tex_path))
    lo, hi = mesh.bounds()
    height = max(hi[2] - lo[2], 1e-3)
    side = 2 * PICTURE
    canvas = raster.Canvas(side, side, (128, 128, 204))
    distance = height * 2.6
    projection = raster.perspective(30, 1.0, 0.01, 1000)
    modelview = (raster.translate(0, -height * 0.02, -distance) @ raster.rotate(-80, 1, 0, 0)
                 @ raster.translate(0, 0, -(lo[2] + hi[2]) / 2))
    scene.draw_mesh(canvas, mesh, texture, projection, modelview)
    img = Image.fromarray(np.clip(canvas.rgb, 0, 255).astype(np.uint8), "RGB")
    return img.resize((PICTURE, PICTURE), Image.Resampling.BOX)


def _backdrop_picture(description):
    """The menu's backdrop as the menu first shows it: the terrain of a
    height-field description turned 90 degrees, 220 units away."""
    tokens = open(os.path.join(common.REPO, description), encoding="ascii").read().split()
    image, sx, sy, hs = tokens[0], float(tokens[1]), float(tokens[2]), float(tokens[3])
    textures = [preview.texture(Image.open(os.path.join(common.REPO, t))) for t in tokens[4:8]]
    repeats = [float(v) for v in tokens[8:11]]
    mesh_file, mesh_scale = tokens[11], float(tokens[12])
    rgb = np.asarray(Image.open(os.path.join(common.REPO, image)).convert("RGB"), dtype=np.float64)
    terrain = scene.Terrain(rgb, sx, sy, hs, repeats)
    w, h = 2 * PICTURE, 2 * PICTURE * 3 // 4
    canvas = raster.Canvas(w, h, (128, 128, 204))
    projection = raster.perspective(45, w / h, 1, 1024)
    modelview = (raster.translate(0, -20, -220) @ raster.rotate(-80, 1, 0, 0) @ raster.rotate(90, 0, 0, 1)
                 @ raster.translate(-190, -190, 0))
    scene.draw_terrain(canvas, terrain, textures, projection, modelview)
    mesh = meshes.read_zms(os.path.join(common.REPO, mesh_file))
    mesh_texture = preview.texture(Image.open(os.path.join(common.REPO, mesh.texture)))
    for position, size in terrain.objects(mesh_scale):
        scene.draw_mesh(canvas, mesh, mesh_texture, projection,
                        modelview @ raster.translate(*position) @ raster.scale(size))
    img = Image.fromarray(np.clip(canvas.rgb, 0, 255).astype(np.uint8), "RGB")
    return img.resize((PICTURE, PICTURE * 3 // 4), Image.Resampling.BOX)


def _wave_picture(path):
    with wave.open(path) as w:
        frames = np.frombuffer(w.readframes(w.getnframes()), dtype="<i2").astype(np.float64) / 32768.0
        seconds = w.getnframes() / w.getframerate()
    img = Image.new("RGB", (PICTURE, PICTURE // 2), (20, 24, 40))
    d = ImageDraw.Draw(img)
    h = PICTURE // 2
    step = max(1, len(frames) // PICTURE)
    for x in range(PICTURE):
        seg = frames[x * step:(x + 1) * step]
        if seg.size == 0:
            break
        d.line([(x, h / 2 - seg.max() * h / 2), (x, h / 2 - seg.min() * h / 2)], fill=(255, 170, 60))
    return img, seconds


def generate(out="docs/assets.png"):
    font = ImageFont.truetype(common.SANS, 10)
    title_font = ImageFont.truetype(common.SANS_BOLD, 18)
    entries = []
    for folder, _, files in sorted(os.walk(common.RESOURCES)):
        for name in sorted(files):
            path = os.path.join(folder, name)
            rel = os.path.relpath(path, common.RESOURCES)
            if name.endswith(".png"):
                with Image.open(path) as im:
                    im.load()
                    entries.append((rel, f"{im.size[0]}x{im.size[1]} {im.mode}", _fit(im)))
    entries.append(("heightmaps/start.txt", "menu backdrop, drawn",
                    _backdrop_picture("resources/heightmaps/start.txt")))
    for rel in sorted(os.listdir(os.path.join(common.RESOURCES, "meshes"))):
        if rel.endswith(".zms"):
            path = os.path.join(common.RESOURCES, "meshes", rel)
            mesh = meshes.read_zms(path)
            entries.append(("meshes/" + rel, f"{len(mesh.faces)} faces", _mesh_picture(path)))
    for rel in sorted(os.listdir(os.path.join(common.RESOURCES, "sounds"))):
        if rel.endswith(".wav"):
            img, seconds = _wave_picture(os.path.join(common.RESOURCES, "sounds", rel))
            entries.append(("sounds/" + rel, f"{seconds:.2f} s", img))
    rows = (len(entries) + COLUMNS - 1) // COLUMNS
    top = 40
    sheet = Image.new("RGB", (CELL * COLUMNS, top + rows * CELL_H), BACKGROUND)
    d = ImageDraw.Draw(sheet)
    d.text((10, 10), "Kerbolt 2008 - resources", font=title_font, fill=LABEL)
    for k, (rel, info, img) in enumerate(entries):
        r, c = divmod(k, COLUMNS)
        x0, y0 = c * CELL, top + r * CELL_H
        px = x0 + (CELL - img.size[0]) // 2
        py = y0 + 4 + (PICTURE - img.size[1]) // 2
        sheet.paste(img, (px, py))
        folder, name = os.path.split(rel)
        d.text((x0 + CELL // 2, y0 + PICTURE + 8), name, font=font, fill=LABEL, anchor="mt")
        d.text((x0 + CELL // 2, y0 + PICTURE + 20), f"{folder}/  {info}", font=font, fill=DIM, anchor="mt")
    path = os.path.join(common.REPO, out)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    sheet.save(path, format="PNG", optimize=True)
    common.written.append(path)
    return path
