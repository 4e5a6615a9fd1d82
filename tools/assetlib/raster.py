# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""A small software renderer: perspective camera, depth buffer, textured and
lit triangles. The generators use it to draw the game's own meshes and
terrain into pictures (the loading screen, previews), so those pictures
show exactly the shapes the game draws."""

import math

import numpy as np


def perspective(fovy_deg, aspect, near, far):
    f = 1.0 / math.tan(math.radians(fovy_deg) / 2.0)
    m = np.zeros((4, 4))
    m[0, 0] = f / aspect
    m[1, 1] = f
    m[2, 2] = (far + near) / (near - far)
    m[2, 3] = 2 * far * near / (near - far)
    m[3, 2] = -1.0
    return m


def translate(x, y, z):
    m = np.eye(4)
    m[:3, 3] = (x, y, z)
    return m


def rotate(angle_deg, x, y, z):
    a = math.radians(angle_deg)
    axis = np.array([x, y, z], dtype=np.float64)
    axis /= np.linalg.norm(axis)
    x, y, z = axis
    c, s = math.cos(a), math.sin(a)
    m = np.eye(4)
    m[:3, :3] = [[x * x * (1 - c) + c, x * y * (1 - c) - z * s, x * z * (1 - c) + y * s],
                 [y * x * (1 - c) + z * s, y * y * (1 - c) + c, y * z * (1 - c) - x * s],
                 [x * z * (1 - c) - y * s, y * z * (1 - c) + x * s, z * z * (1 - c) + c]]
    return m


def scale(s):
    m = np.eye(4)
    m[0, 0] = m[1, 1] = m[2, 2] = s
    return m


class Canvas:
    """Colour and depth buffers; rows run top to bottom like a picture."""

    def __init__(self, width, height, background=(0, 0, 0), alpha=False):
        self.width, self.height = width, height
        self.rgb = np.empty((height, width, 3))
        self.rgb[:] = background
        self.alpha = np.zeros((height, width)) if alpha else None
        self.depth = np.full((height, width), np.inf)

    def draw(self, positions, colours, projection, modelview):
        """positions: (n, 3, 3) triangle corners in object space; colours:
        (n, 3, 3) per-corner RGB (0..255) or a callable shade(tri_index,
        barycentric weights (k, 3)) -> (k, 3) RGB for the covered pixels."""
        n = positions.shape[0]
        hom = np.concatenate([positions, np.ones((n, 3, 1))], axis=2)
        clip = hom @ (projection @ modelview).T
        w = clip[..., 3]
        visible = np.all(w > 1e-6, axis=1)
        ndc = clip[..., :3] / np.where(w > 1e-6, w, 1.0)[..., None]
        sx = (ndc[..., 0] + 1) * 0.5 * self.width
        sy = (1 - ndc[..., 1]) * 0.5 * self.height
        sz = ndc[..., 2]
        inv_w = 1.0 / np.where(w > 1e-6, w, 1.0)
        for t in np.nonzero(visible)[0]:
            x, y = sx[t], sy[t]
            x0 = max(int(math.floor(x.min())), 0)
            x1 = min(int(math.ceil(x.max())) + 1, self.width)
            y0 = max(int(math.floor(y.min())), 0)
            y1 = min(int(math.ceil(y.max())) + 1, self.height)
            if x0 >= x1 or y0 >= y1:
                continue
            area = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0])
            if abs(area) < 1e-12:
                continue
            px, py = np.meshgrid(np.arange(x0, x1) + 0.5, np.arange(y0, y1) + 0.5)
            w0 = ((x[1] - px) * (y[2] - py) - (x[2] - px) * (y[1] - py)) / area
            w1 = ((x[2] - px) * (y[0] - py) - (x[0] - px) * (y[2] - py)) / area
            w2 = 1.0 - w0 - w1
            inside = (w0 >= -1e-9) & (w1 >= -1e-9) & (w2 >= -1e-9)
            if not inside.any():
                continue
            z = w0 * sz[t, 0] + w1 * sz[t, 1] + w2 * sz[t, 2]
            region = self.depth[y0:y1, x0:x1]
            closer = inside & (z < region) & (z > -1.0) & (z < 1.0)
            if not closer.any():
                continue
            # Perspective-correct weights for the attributes.
            pw = np.stack([w0[closer] * inv_w[t, 0], w1[closer] * inv_w[t, 1], w2[closer] * inv_w[t, 2]], axis=1)
            pw /= pw.sum(axis=1, keepdims=True)
            if callable(colours):
                shade = colours(t, pw)
            else:
                shade = pw @ colours[t]
            region[closer] = z[closer]
            self.rgb[y0:y1, x0:x1][closer] = shade
            if self.alpha is not None:
                self.alpha[y0:y1, x0:x1][closer] = 1.0


def sample_texture(tex, uv):
    """Bilinear, repeating look-up of a float RGB(A) array at (k, 2) uv."""
    h, w = tex.shape[:2]
    x = uv[:, 0] * w - 0.5
    y = uv[:, 1] * h - 0.5
    x0 = np.floor(x).astype(int)
    y0 = np.floor(y).astype(int)
    fx = (x - x0)[:, None]
    fy = (y - y0)[:, None]
    a = tex[y0 % h, x0 % w]
    b = tex[y0 % h, (x0 + 1) % w]
    c = tex[(y0 + 1) % h, x0 % w]
    d = tex[(y0 + 1) % h, (x0 + 1) % w]
    return (a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + d * fx) * fy


def fixed_function_light(normals_eye):
    """OpenGL's default lighting as the game's meshes get it: light 0 shines
    along the view direction, white; material diffuse 0.8, ambient 0.2 under
    a global ambient of 0.2."""
    n = normals_eye / np.maximum(np.linalg.norm(normals_eye, axis=-1, keepdims=True), 1e-9)
    diffuse = np.clip(n[..., 2], 0.0, 1.0)
    return 0.04 + 0.8 * diffuse
