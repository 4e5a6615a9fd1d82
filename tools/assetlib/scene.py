# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Draws the game's terrain and meshes with the software renderer, the way
the game builds and shades them: the same grid, normals and texture
coordinates as the height-field loader, a Python model of the terrain
shader, and fixed-function lighting for meshes."""

import numpy as np

from . import raster, shaders


class Terrain:
    """A height field as the game builds it from a height image: grid point
    (i, j) is pixel column i, row j, at (i * scale, j * scale, red * hs)."""

    def __init__(self, rgb, scale_x, scale_y, height_scale, repeats):
        self.rgb = np.asarray(rgb, dtype=np.float64)
        gh, gw = self.rgb.shape[:2]
        self.gw, self.gh = gw, gh
        j, i = np.mgrid[0:gh, 0:gw]
        self.pos = np.dstack([i * scale_x, j * scale_y, self.rgb[..., 0] * height_scale])
        self.height_scale = height_scale
        # Face normals of the two triangles of each cell, then the vertex
        # normal as the sixth of the six faces around a point (borders up).
        p = self.pos
        a = p[1:, :-1]      # (i, j)
        b = p[:-1, :-1]     # (i, j - 1)
        c = p[:-1, 1:]      # (i + 1, j - 1)
        d = p[1:, 1:]       # (i + 1, j)
        f0 = _unit(np.cross(b - a, c - a))
        f1 = _unit(np.cross(c - a, d - a))
        normals = np.zeros_like(p)
        normals[..., 2] = 1.0
        # The six faces around interior point (i, j), arrays indexed
        # [cell row j - 1, cell column i]: cells (i, j) and (i, j + 1) of
        # strip i, cells (i - 1, j) and (i - 1, j + 1) of strip i - 1.
        acc = (f0[:-1, 1:] + f1[:-1, 1:] + f0[1:, 1:]
               + f1[:-1, :-1] + f0[1:, :-1] + f1[1:, :-1])
        normals[1:-1, 1:-1] = acc * 0.16666667
        self.normals = normals
        self.tc0 = np.dstack([i / gw, j / gh])
        self.tc = [np.dstack([i / gw * r, j / gw * r]) for r in repeats]

    def triangles(self):
        """Corner indices (row, column) of the strip triangles."""
        tris = []
        for i in range(self.gw - 1):
            for j in range(1, self.gh):
                tris.append(((j, i), (j - 1, i), (j - 1, i + 1)))
                tris.append(((j, i), (j - 1, i + 1), (j, i + 1)))
        return tris

    def objects(self, mesh_scale):
        g = self.rgb[..., 1]
        out = []
        for j in range(self.gh - 1, -1, -1):
            for i in range(self.gw):
                if g[j, i] > 25:
                    out.append((self.pos[j, i], g[j, i] * self.height_scale * mesh_scale))
        return out


def _unit(v):
    return v / np.maximum(np.linalg.norm(v, axis=-1, keepdims=True), 1e-12)


def draw_terrain(canvas, terrain, textures, projection, modelview):
    """textures: float RGBA arrays (0..1) for units 0-3, as the terrain
    shader reads them (units 0 and 2)."""
    tris = terrain.triangles()
    idx = np.array(tris)                     # (n, 3, 2)
    rows, cols = idx[..., 0], idx[..., 1]
    positions = terrain.pos[rows, cols]
    normals = terrain.normals[rows, cols]
    tc0 = terrain.tc0[rows, cols]
    tc2 = terrain.tc[1][rows, cols]
    eye_normals = normals @ modelview[:3, :3].T
    hom = np.concatenate([positions, np.ones(positions.shape[:2] + (1,))], axis=2)
    eye_pos = hom @ modelview.T
    distance = np.linalg.norm(eye_pos[..., :3], axis=2)
    sun = np.array(shaders.SUN_DIRECTION)
    sun_c = np.array(shaders.SUN_COLOUR)
    sky_c = np.array(shaders.SKY_COLOUR)
    haze_c = np.array(shaders.HAZE_COLOUR)

    def shade(t, w):
        up = _unit(w @ normals[t])
        n = _unit(w @ eye_normals[t])
        m = raster.sample_texture(textures[0], w @ tc0[t])
        grains = raster.sample_texture(textures[2], w @ tc2[t])[:, :3] * 2.0
        a = m[:, 3]
        detail = np.clip(a * 2, 0, 1)
        grass_share = np.clip(a * 2 - 1, 0, 1)
        z = up[:, 2]
        tt = np.clip((z - 0.62) / (0.86 - 0.62), 0, 1)
        rock_share = (1 - tt * tt * (3 - 2 * tt)) * detail
        grain = grains[:, 2] * (1 - grass_share) + grains[:, 0] * grass_share
        grain = grain * (1 - rock_share) + grains[:, 1] * rock_share
        colour = m[:, :3] * (1 + (grain - 1) * detail)[:, None]
        s = np.clip(n @ sun, 0, None)
        lit = colour * (sky_c + sun_c * s[:, None])
        haze = np.clip((w @ distance[t] - 240.0) / 500.0, 0, 0.4)
        out = lit + (haze_c - lit) * haze[:, None]
        return np.clip(out, 0, 1) * 255.0

    canvas.draw(positions, shade, projection, modelview)


def draw_mesh(canvas, mesh, texture, projection, modelview):
    """A textured mesh under the game's default light (along the view)."""
    pos, nor, uv = mesh.triangles()
    light = raster.fixed_function_light(nor @ modelview[:3, :3].T)
    tex = texture[..., :3] * 255.0

    def shade(t, w):
        return raster.sample_texture(tex, w @ uv[t]) * (w @ light[t])[:, None]

    canvas.draw(pos, shade, projection, modelview)
