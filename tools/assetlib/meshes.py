# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""ZMS meshes: the player "Pimbo", the decoration trees and the default mesh,
with their texture atlases.

World axes are those of the game: x along the level (to the right on
screen), y into the screen, z up. The round's camera looks along +y, ten
degrees down, and the game's light shines along the view, so a face turned
towards -y is lit fully. Every mesh is textured: drawing an untextured mesh
switches 2D texturing off for the rest of the frame."""

import math

import numpy as np
from PIL import Image, ImageDraw

from . import common
from .common import INK, to_image

PIMBO_TEXTURE = "resources/textures/meshes/pimbo.png"
TREE_TEXTURE = "resources/textures/meshes/trees.png"
DEFAULT_TEXTURE = "resources/textures/standardpic.png"


class Mesh:
    """Vertices with normals, and polygons whose corners carry (u, v).
    normal_length: the length every normal is stored with (see
    DECORATION_NORMAL_LENGTH)."""

    def __init__(self, texture, normal_length=1.0):
        self.texture = texture
        self.normal_length = normal_length
        self.positions = []
        self.normals = []
        self.faces = []          # (smooth, face normal, [vertex index], [(u, v)])

    def vertex(self, p, n):
        self.positions.append(np.asarray(p, dtype=np.float64))
        n = np.asarray(n, dtype=np.float64)
        self.normals.append(n / max(np.linalg.norm(n), 1e-12) * self.normal_length)
        return len(self.positions) - 1

    def face(self, indices, uvs, smooth=True):
        p = [self.positions[i] for i in indices]
        normal = np.cross(p[1] - p[0], p[2] - p[0])
        if len(p) == 4:
            normal = normal + np.cross(p[2] - p[0], p[3] - p[0])
        length = np.linalg.norm(normal)
        normal = normal / length if length > 1e-12 else np.array([0.0, 0.0, 1.0])
        normal = normal * self.normal_length
        self.faces.append((smooth, normal, list(indices), [tuple(uv) for uv in uvs]))

    def triangles(self):
        """(positions, normals, uvs) arrays of shape (n, 3, k), quads split."""
        pos, nor, uv = [], [], []
        for smooth, normal, idx, uvs in self.faces:
            corners = [(0, 1, 2)] if len(idx) == 3 else [(0, 1, 2), (0, 2, 3)]
            for tri in corners:
                pos.append([self.positions[idx[c]] for c in tri])
                nor.append([self.normals[idx[c]] if smooth else normal for c in tri])
                uv.append([uvs[c] for c in tri])
        return np.array(pos), np.array(nor), np.array(uv)

    def bounds(self):
        p = np.array(self.positions)
        return p.min(axis=0), p.max(axis=0)


def _fmt(v):
    s = f"{v:.4f}".rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


def zms_text(mesh):
    """hasParams vertexCount faceCount textured, the texture name, the vertex
    records (normal, then position) and the face records (smooth flag, face
    normal, corner count, then index, u, v per corner)."""
    lines = [f"0 {len(mesh.positions)} {len(mesh.faces)} 1", mesh.texture]
    for p, n in zip(mesh.positions, mesh.normals):
        lines.append(" ".join(_fmt(v) for v in (*n, *p)))
    for smooth, normal, idx, uvs in mesh.faces:
        corners = " ".join(f"{i} {_fmt(u)} {_fmt(v)}" for i, (u, v) in zip(idx, uvs))
        lines.append(f"{1 if smooth else 0} {_fmt(normal[0])} {_fmt(normal[1])} {_fmt(normal[2])} {len(idx)} {corners}")
    return "\n".join(lines) + "\n"


def read_zms(path):
    """Reads a ZMS file back into a Mesh (for the pictures that show meshes)."""
    tokens = open(path, encoding="ascii").read().split()
    pos = 0

    def take():
        nonlocal pos
        pos += 1
        return tokens[pos - 1]

    has_params, n_vert, n_face, textured = (int(take()) for _ in range(4))
    mesh = Mesh(take() if textured else "")
    if has_params:
        for _ in range(5):
            take()
    for _ in range(n_vert):
        n = [float(take()) for _ in range(3)]
        p = [float(take()) for _ in range(3)]
        mesh.vertex(p, n)
    for _ in range(n_face):
        smooth = int(take()) != 0
        [float(take()) for _ in range(3)]
        count = int(take())
        idx, uvs = [], []
        for _ in range(count):
            idx.append(int(take()))
            uvs.append((float(take()), float(take())) if textured else (0.0, 0.0))
        mesh.face(idx, uvs, smooth)
    return mesh


# ---- primitives -----------------------------------------------------------

def _apply(matrix, p):
    return matrix[:3, :3] @ p + matrix[:3, 3]


def _apply_normal(matrix, n):
    inv_t = np.linalg.inv(matrix[:3, :3]).T
    return inv_t @ n


def _rect_uv(rect, u, v):
    """Maps (u, v) in [0, 1] into an atlas rectangle given in texels of a
    square atlas of side ATLAS, with half a texel of margin."""
    x0, y0, x1, y1, side = rect
    m = 0.5
    return ((x0 + m + u * (x1 - x0 - 2 * m)) / side, (y0 + m + v * (y1 - y0 - 2 * m)) / side)


def ellipsoid(mesh, matrix, radii, rect, segments=16, rings=10, front_u=0.5):
    """A smooth ellipsoid around the local origin. u runs round the local z
    axis with the local -y direction (the front) at front_u; v runs from the
    top pole (0) to the bottom (1)."""
    rx, ry, rz = radii
    grid = []
    for r in range(rings + 1):
        phi = math.pi * r / rings
        row = []
        for s in range(segments + 1):
            theta = 2 * math.pi * (s / segments - front_u) - math.pi / 2
            x = math.sin(phi) * math.cos(theta)
            y = math.sin(phi) * math.sin(theta)
            z = math.cos(phi)
            p = np.array([rx * x, ry * y, rz * z])
            n = np.array([x / rx, y / ry, z / rz])
            row.append(mesh.vertex(_apply(matrix, p), _apply_normal(matrix, n)))
        grid.append(row)
    for r in range(rings):
        for s in range(segments):
            u0, u1 = s / segments, (s + 1) / segments
            v0, v1 = r / rings, (r + 1) / rings
            a, b, c, d = grid[r][s], grid[r + 1][s], grid[r + 1][s + 1], grid[r][s + 1]
            uv = [_rect_uv(rect, u0, v0), _rect_uv(rect, u0, v1), _rect_uv(rect, u1, v1), _rect_uv(rect, u1, v0)]
            if r == 0:
                mesh.face([a, b, c], [_rect_uv(rect, (u0 + u1) / 2, v0), uv[1], uv[2]])
            elif r == rings - 1:
                mesh.face([a, b, d], [uv[0], _rect_uv(rect, (u0 + u1) / 2, v1), uv[3]])
            else:
                mesh.face([a, b, c, d], uv)


def tube(mesh, start, end, r0, r1, rect, segments=12, caps=True, front=(0.0, -1.0, 0.0)):
    """A smooth tapered cylinder from start to end, closed by flat caps.
    u runs round it (front at 0.5), v along it from start (0) to end (1)."""
    start = np.asarray(start, float)
    end = np.asarray(end, float)
    axis = end - start
    length = np.linalg.norm(axis)
    w = axis / length
    f = np.asarray(front, float)
    f = f - w * np.dot(f, w)
    if np.linalg.norm(f) < 1e-6:
        f = np.array([1.0, 0.0, 0.0]) - w * w[0]
    f /= np.linalg.norm(f)
    side = np.cross(w, f)
    slope = (r0 - r1) / length
    rings = []
    for centre, radius in ((start, r0), (end, r1)):
        ring = []
        for s in range(segments + 1):
            a = 2 * math.pi * (s / segments - 0.5)
            radial = math.cos(a) * f + math.sin(a) * side
            ring.append(mesh.vertex(centre + radius * radial, radial + slope * w))
        rings.append(ring)
    for s in range(segments):
        u0, u1 = s / segments, (s + 1) / segments
        a, b = rings[0][s], rings[0][s + 1]
        c, d = rings[1][s + 1], rings[1][s]
        mesh.face([a, b, c, d], [_rect_uv(rect, u0, 0), _rect_uv(rect, u1, 0), _rect_uv(rect, u1, 1), _rect_uv(rect, u0, 1)])
    if caps:
        for centre, radius, normal, v in ((start, r0, -w, 0.0), (end, r1, w, 1.0)):
            centre_i = mesh.vertex(centre, normal)
            ring = []
            for s in range(segments):
                a = 2 * math.pi * (s / segments - 0.5)
                ring.append(mesh.vertex(centre + radius * (math.cos(a) * f + math.sin(a) * side), normal))
            for s in range(segments):
                i0, i1 = ring[s], ring[(s + 1) % segments]
                tri = [centre_i, i1, i0] if v == 0.0 else [centre_i, i0, i1]
                mesh.face(tri, [_rect_uv(rect, 0.5, v), _rect_uv(rect, 0.3, v), _rect_uv(rect, 0.7, v)], smooth=False)


def cone(mesh, base_centre, radius, height, rect, segments=10, jitter=None, droop=0.0):
    """A smooth cone standing on base_centre with a flat underside; u runs
    round, v from the tip (0) to the rim (1). jitter varies the rim radius."""
    base = np.asarray(base_centre, float)
    tip = base + np.array([0.0, 0.0, height])
    tip_normal = np.array([0.0, 0.0, 1.0])
    rim = []
    for s in range(segments):
        a = 2 * math.pi * s / segments
        r = radius * (1.0 + (jitter[s] if jitter is not None else 0.0))
        p = base + np.array([r * math.cos(a), r * math.sin(a), -droop * r])
        n = np.array([math.cos(a) * height, math.sin(a) * height, r])
        rim.append(mesh.vertex(p, n))
    for s in range(segments):
        a_mid = 2 * math.pi * (s + 0.5) / segments
        n_tip = np.array([math.cos(a_mid) * height, math.sin(a_mid) * height, radius])
        t = mesh.vertex(tip, n_tip + tip_normal * 0.0)
        i0, i1 = rim[s], rim[(s + 1) % segments]
        u0, u1 = s / segments, (s + 1) / segments
        mesh.face([t, i0, i1], [_rect_uv(rect, (u0 + u1) / 2, 0.0), _rect_uv(rect, u0, 1.0), _rect_uv(rect, u1, 1.0)])
    centre = mesh.vertex(base + np.array([0, 0, -droop * radius * 0.3]), (0, 0, -1))
    under = [mesh.vertex(mesh.positions[i], (0, 0, -1)) for i in rim]
    for s in range(segments):
        mesh.face([centre, under[(s + 1) % segments], under[s]],
                  [_rect_uv(rect, 0.5, 1.0), _rect_uv(rect, 0.4, 1.0), _rect_uv(rect, 0.6, 1.0)], smooth=False)


def box(mesh, lo, hi, rect):
    lo = np.asarray(lo, float)
    hi = np.asarray(hi, float)
    corners = lambda bits: np.where(np.array(bits) > 0, hi, lo)
    sides = [((0, 0, 1), [(0, 0, 1), (1, 0, 1), (1, 1, 1), (0, 1, 1)]),
             ((0, 0, -1), [(0, 1, 0), (1, 1, 0), (1, 0, 0), (0, 0, 0)]),
             ((0, -1, 0), [(0, 0, 1), (0, 0, 0), (1, 0, 0), (1, 0, 1)]),
             ((0, 1, 0), [(1, 1, 1), (1, 1, 0), (0, 1, 0), (0, 1, 1)]),
             ((1, 0, 0), [(1, 0, 1), (1, 0, 0), (1, 1, 0), (1, 1, 1)]),
             ((-1, 0, 0), [(0, 1, 1), (0, 1, 0), (0, 0, 0), (0, 0, 1)])]
    for normal, bits in sides:
        idx = [mesh.vertex(corners(b), normal) for b in bits]
        mesh.face(idx, [_rect_uv(rect, 0, 0), _rect_uv(rect, 0, 1), _rect_uv(rect, 1, 1), _rect_uv(rect, 1, 0)], smooth=False)


def placed(angle_z=0.0, at=(0, 0, 0), tilt_x=0.0, tilt_y=0.0):
    m = np.eye(4)
    ax, ay, az = (math.radians(a) for a in (tilt_x, tilt_y, angle_z))
    rx = np.array([[1, 0, 0], [0, math.cos(ax), -math.sin(ax)], [0, math.sin(ax), math.cos(ax)]])
    ry = np.array([[math.cos(ay), 0, math.sin(ay)], [0, 1, 0], [-math.sin(ay), 0, math.cos(ay)]])
    rz = np.array([[math.cos(az), -math.sin(az), 0], [math.sin(az), math.cos(az), 0], [0, 0, 1]])
    m[:3, :3] = rz @ ry @ rx
    m[:3, 3] = at
    return m


# ---- Pimbo ----------------------------------------------------------------

ATLAS = 128
# Atlas rectangles (x0, y0, x1, y1, side) in texels.
SKIN = (0, 0, 32, 32, ATLAS)
HOODIE = (32, 0, 96, 32, ATLAS)
TROUSERS = (96, 0, 128, 32, ATLAS)
SHOE = (0, 32, 32, 64, ATLAS)
BEANIE = (32, 32, 64, 64, ATLAS)
POMPOM = (64, 32, 80, 48, ATLAS)
EYE = (80, 32, 96, 48, ATLAS)
PUPIL = (96, 32, 112, 48, ATLAS)
SCARF = (112, 32, 128, 64, ATLAS)
SLEEVE = (64, 48, 112, 64, ATLAS)
FACE = (0, 64, 64, 128, ATLAS)
MITTEN = (64, 64, 96, 96, ATLAS)

C_SKIN = (244, 200, 160)
C_HOODIE = (250, 186, 44)
C_HOODIE_DARK = (214, 128, 22)
C_TROUSERS = (78, 62, 120)
C_SHOE = (226, 66, 52)
C_BEANIE = (222, 74, 48)
C_SCARF = (40, 170, 160)


class _ScaledDraw:
    """ImageDraw in atlas layout units on a canvas `k` times larger."""

    def __init__(self, image, k):
        self.d = ImageDraw.Draw(image)
        self.k = k

    def _xy(self, pts):
        return [(x * self.k, y * self.k) for x, y in pts]

    def rectangle(self, box, **kw):
        x0, y0, x1, y1 = box
        self.d.rectangle((x0 * self.k, y0 * self.k, x1 * self.k - 1, y1 * self.k - 1), **kw)

    def polygon(self, pts, **kw):
        if "width" in kw:
            kw["width"] = int(kw["width"] * self.k)
        self.d.polygon(self._xy(pts), **kw)

    def line(self, pts, width=1, **kw):
        self.d.line(self._xy(pts), width=int(width * self.k), **kw)

    def ellipse(self, box, **kw):
        self.d.ellipse([v * self.k for v in box], **kw)

    def arc(self, box, width=1, **kw):
        self.d.arc([v * self.k for v in box], width=int(width * self.k), **kw)


PAINT = 8          # painting scale over the layout units (128 -> 1024)
TEXTURE_SIDE = 256  # stored size of the atlas


def pimbo_texture():
    """Pimbo's atlas, laid out in 128 units and stored at 256 texels."""
    k = PAINT
    pixels = np.zeros((ATLAS * k, ATLAS * k, 3))
    pixels[:] = INK

    def band(rect, top, bottom):
        x0, y0, x1, y1, _ = rect
        t = np.linspace(0.0, 1.0, (y1 - y0) * k)[:, None, None]
        pixels[y0 * k:y1 * k, x0 * k:x1 * k] = np.array(top, float) * (1 - t) + np.array(bottom, float) * t

    for rect, top, bottom in ((SKIN, (250, 212, 176), (232, 184, 146)), (HOODIE, (255, 204, 70), C_HOODIE_DARK),
                              (TROUSERS, (96, 80, 142), (58, 44, 92)), (SHOE, C_SHOE, (180, 40, 34)),
                              (BEANIE, (240, 96, 60), (196, 56, 38)), (POMPOM, (255, 255, 250), (226, 226, 236)),
                              (EYE, (255, 255, 255), (234, 238, 246)), (PUPIL, (22, 24, 40), (22, 24, 40)),
                              (SCARF, (60, 200, 186), (24, 130, 126)), (SLEEVE, (255, 204, 70), C_HOODIE_DARK),
                              (MITTEN, (64, 196, 182), (30, 140, 132)), (FACE, (250, 212, 176), (236, 188, 150))):
        band(rect, top, bottom)
    img = Image.fromarray(np.clip(pixels, 0, 255).astype(np.uint8), "RGB")
    d = _ScaledDraw(img, k)
    # Hoodie: a darker hem and a lightning badge on the front (u = 0.5).
    x0, y0, x1, y1, _ = HOODIE
    d.rectangle((x0, y1 - 5, x1, y1), fill=(190, 112, 20))
    mid = (x0 + x1) / 2
    d.polygon([(mid + 1, y0 + 8), (mid - 4, y0 + 17), (mid - 0.5, y0 + 17), (mid - 2, y0 + 24),
               (mid + 4, y0 + 14), (mid + 0.5, y0 + 14), (mid + 2, y0 + 8)], fill=(226, 66, 52), outline=INK,
              width=0.6)
    # Shoes: white soles.
    x0, y0, x1, y1, _ = SHOE
    d.rectangle((x0, y0 + 20, x1, y1), fill=(246, 246, 240))
    d.line([(x0, y0 + 20), (x1, y0 + 20)], fill=(60, 40, 40), width=0.8)
    # Beanie: knitted ribs.
    x0, y0, x1, y1, _ = BEANIE
    for x in range(x0, x1, 4):
        d.line([(x + 0.5, y0), (x + 0.5, y1)], fill=(200, 60, 40), width=1.2)
    # Scarf: cream stripes.
    x0, y0, x1, y1, _ = SCARF
    for y in range(y0 + 3, y1, 6):
        d.line([(x0, y), (x1, y)], fill=(250, 246, 232), width=2)
    x0, y0, x1, y1, _ = SLEEVE
    d.rectangle((x0, y1 - 3, x1, y1), fill=(190, 112, 20))
    # The face: a smile and rosy cheeks at the front (u = 0.5); the eyes are
    # geometry of their own.
    x0, y0, x1, y1, _ = FACE
    w, h = x1 - x0, y1 - y0
    cx = x0 + w / 2
    blush = Image.new("RGBA", img.size, (0, 0, 0, 0))
    bd = _ScaledDraw(blush, k)
    for sx in (-1, 1):
        ex = cx + sx * w * 0.115
        bd.ellipse((ex - 2.3, y0 + h * 0.60 - 1.5, ex + 2.3, y0 + h * 0.60 + 1.5), fill=(240, 120, 110, 140))
    bd.arc((cx - 4, y0 + h * 0.54, cx + 4, y0 + h * 0.66), start=20, end=160, fill=(120, 40, 40, 255), width=1.2)
    img.paste(blush, (0, 0), blush)
    return img.resize((TEXTURE_SIDE, TEXTURE_SIDE), Image.Resampling.BOX)


FACING = 28.0  # degrees from the camera towards the running direction (+x)


def pimbo():
    """The little runner, about 7.3 units tall, feet at z = 0, turned from
    the camera towards +x and caught mid-stride."""
    mesh = Mesh(PIMBO_TEXTURE)
    turn = placed(angle_z=FACING)

    def world(m):
        return turn @ m

    # Legs: the left one reaching forward (towards the running direction),
    # the right one pushing off behind. Local frame: the figure faces -y,
    # its left is +x.
    stride = 0.55
    for side, reach in ((1, stride), (-1, -stride)):
        hip = np.array([0.42 * side, 0.0, 1.95])
        foot = np.array([0.48 * side, -reach, 0.42])
        tube_start = _apply(turn, hip)
        tube_end = _apply(turn, foot)
        tube(mesh, tube_start, tube_end, 0.36, 0.3, TROUSERS, segments=10,
             front=_apply(turn, np.array([0, -1, 0])) - turn[:3, 3])
        shoe_at = foot + np.array([0.0, -0.32, -0.1])
        ellipsoid(mesh, world(placed(at=shoe_at, tilt_x=-8 * np.sign(reach))), (0.42, 0.72, 0.34), SHOE,
                  segments=12, rings=8)
    # Torso and hood.
    ellipsoid(mesh, world(placed(at=(0, 0, 2.95))), (1.08, 0.86, 1.2), HOODIE, segments=18, rings=12)
    tube(mesh, _apply(turn, np.array([0, 0.05, 3.72])), _apply(turn, np.array([0, 0.05, 4.1])), 0.8, 0.72,
         SCARF, segments=14, front=_apply(turn, np.array([0, -1, 0])) - turn[:3, 3])
    # The scarf's loose end flies back.
    tube(mesh, _apply(turn, np.array([0.3, 0.5, 3.9])), _apply(turn, np.array([0.75, 1.6, 3.45])), 0.22, 0.15,
         SCARF, segments=8)
    # Arms swing opposite to the legs; mittens at the ends.
    for side, swing in ((1, -0.75), (-1, 0.75)):
        shoulder = np.array([1.0 * side, 0.0, 3.55])
        hand = np.array([1.45 * side, swing, 2.55])
        tube(mesh, _apply(turn, shoulder), _apply(turn, hand), 0.3, 0.25, SLEEVE, segments=10)
        ellipsoid(mesh, world(placed(at=hand + np.array([0.05 * side, 0.0, -0.12]))), (0.33, 0.33, 0.36), MITTEN,
                  segments=10, rings=6)
    # Head, eyes, beanie with a pompom.
    head_c = np.array([0.0, 0.0, 5.2])
    ellipsoid(mesh, world(placed(at=head_c)), (1.45, 1.38, 1.4), FACE, segments=20, rings=14)
    for side in (1, -1):
        a = math.radians(21 * side)
        direction = np.array([math.sin(a), -math.cos(a), 0.2])
        direction /= np.linalg.norm(direction)
        eye_c = head_c + direction * 1.2
        eye_m = world(placed(at=eye_c, angle_z=21 * side))
        ellipsoid(mesh, eye_m, (0.34, 0.26, 0.48), EYE, segments=10, rings=8)
        pupil_c = head_c + direction * 1.42 + np.array([0.05, 0, 0.03])
        ellipsoid(mesh, world(placed(at=pupil_c, angle_z=21 * side)), (0.17, 0.1, 0.25), PUPIL, segments=8, rings=6)
    ellipsoid(mesh, world(placed(at=head_c + np.array([0, 0.08, 0.72]), tilt_x=-6)), (1.52, 1.46, 1.0), BEANIE,
              segments=20, rings=8)
    tube(mesh, _apply(turn, head_c + np.array([0, 0.05, 0.5])), _apply(turn, head_c + np.array([0, 0.05, 0.84])),
         1.5, 1.5, BEANIE, segments=20, caps=False)
    ellipsoid(mesh, world(placed(at=head_c + np.array([0, 0.2, 1.74]))), (0.36, 0.36, 0.34), POMPOM,
              segments=10, rings=6)
    return mesh


# ---- trees ----------------------------------------------------------------

# The terrain draws a decoration scaled by green x heightScale x meshScale
# (about 10 on the menu island) and OpenGL lights it with the normals
# shrunk by that scale, since nothing renormalises them. The trees
# therefore store normals of this length, so that they come out about one
# unit long at the usual size and the trees are lit, not black. Should the
# renderer ever renormalise, the length does no harm.
DECORATION_NORMAL_LENGTH = 10.0

TREE_ATLAS = 128
NEEDLES = (0, 0, 64, 64, TREE_ATLAS)
BARK = (64, 0, 80, 64, TREE_ATLAS)
LEAVES = (0, 64, 64, 128, TREE_ATLAS)
LEAVES_LIGHT = (64, 64, 128, 128, TREE_ATLAS)


def trees_texture():
    r = common.rng(7)
    rgb = np.zeros((TREE_ATLAS, TREE_ATLAS, 3))
    rgb[:] = INK

    def fill(rect, top, bottom, seed, streak_axis=None):
        x0, y0, x1, y1, _ = rect
        h, w = y1 - y0, x1 - x0
        t = np.linspace(0, 1, h)[:, None, None]
        base = np.array(top, float) * (1 - t) + np.array(bottom, float) * t
        noise = common.spectral_noise((64, 64), seed, beta=1.2)[:h, :w]
        if streak_axis == "v":
            streaks = common.spectral_noise((64, 64), seed + 1, beta=1.5)
            streaks = np.repeat(streaks[:1, :w], h, axis=0) * 0.6 + noise[:h, :w] * 0.4
            noise = streaks
        rgb[y0:y1, x0:x1] = base * (0.78 + 0.44 * noise[..., None])

    fill(NEEDLES, (92, 170, 92), (30, 96, 56), 11)
    fill(BARK, (120, 84, 56), (78, 52, 34), 13, streak_axis="v")
    fill(LEAVES, (120, 180, 60), (42, 110, 40), 15)
    fill(LEAVES_LIGHT, (160, 200, 70), (70, 140, 50), 17)
    del r
    return to_image(np.clip(rgb, 0, 255))


def conifer():
    """A fir one unit tall (trunk foot slightly below 0 so it sits into
    slopes). The terrain scales it by green x heightScale x meshScale, so
    that product is the tree's height in world units."""
    mesh = Mesh(TREE_TEXTURE, DECORATION_NORMAL_LENGTH)
    tube(mesh, (0, 0, -0.06), (0, 0, 0.22), 0.055, 0.045, BARK, segments=8)
    r = common.rng(23)
    tiers = [(0.12, 0.38, 0.46), (0.36, 0.3, 0.4), (0.57, 0.21, 0.43)]
    for k, (z, radius, height) in enumerate(tiers):
        jitter = r.uniform(-0.12, 0.12, 11)
        cone(mesh, (0, 0, z), radius, height, NEEDLES, segments=11, jitter=jitter, droop=0.12)
    return mesh


def round_tree():
    """A broadleaf tree one unit tall: a short trunk under three leafy
    lumps. Same scaling rule as the fir."""
    mesh = Mesh(TREE_TEXTURE, DECORATION_NORMAL_LENGTH)
    tube(mesh, (0, 0, -0.06), (0.02, 0, 0.42), 0.07, 0.05, BARK, segments=8)
    tube(mesh, (0.01, 0, 0.3), (-0.14, -0.02, 0.5), 0.035, 0.025, BARK, segments=6)
    lumps = [((0.0, 0.0, 0.66), (0.33, 0.31, 0.3), LEAVES),
             ((-0.17, 0.03, 0.55), (0.22, 0.22, 0.2), LEAVES),
             ((0.16, -0.05, 0.57), (0.24, 0.23, 0.21), LEAVES_LIGHT),
             ((0.02, -0.08, 0.8), (0.22, 0.2, 0.19), LEAVES_LIGHT)]
    # Lumps of 9 x 6 quads: a tree is rarely more than 60 pixels tall on the
    # screen, and a software renderer pays for every small triangle.
    for centre, radii, rect in lumps:
        ellipsoid(mesh, placed(at=centre), radii, rect, segments=9, rings=6)
    return mesh


def default_mesh():
    """A one-unit crate in the default picture: plainly a stand-in."""
    mesh = Mesh(DEFAULT_TEXTURE)
    box(mesh, (-0.5, -0.5, 0.0), (0.5, 0.5, 1.0), (0, 0, 128, 128, 128))
    return mesh


def generate():
    common.save_png(pimbo_texture(), "textures/meshes/pimbo.png")
    common.save_png(trees_texture(), "textures/meshes/trees.png")
    common.save_text(zms_text(pimbo()), "meshes/player.zms")
    common.save_text(zms_text(conifer()), "meshes/tree.zms")
    common.save_text(zms_text(round_tree()), "meshes/tree_round.zms")
    common.save_text(zms_text(default_mesh()), "meshes/defaultmesh.zms")
