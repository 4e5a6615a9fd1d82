# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Shared helpers: paths, checked writers, noise, colour and drawing tools."""

import os
import wave

import numpy as np
from PIL import Image, ImageFilter

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RESOURCES = os.path.join(REPO, "resources")
FONT_DIR = "/usr/share/fonts/truetype/dejavu"
SANS = os.path.join(FONT_DIR, "DejaVuSans.ttf")
SANS_BOLD = os.path.join(FONT_DIR, "DejaVuSans-Bold.ttf")
SANS_BOLD_OBLIQUE = os.path.join(FONT_DIR, "DejaVuSans-BoldOblique.ttf")

SAMPLE_RATE = 44100

# The house palette: every picture draws from these so the game reads as one.
INK = (16, 20, 38)            # outlines, the darkest UI colour
NAVY = (24, 34, 66)           # glass panels
NAVY_LIGHT = (58, 78, 136)
AMBER = (255, 164, 40)        # accents, highlights
AMBER_LIGHT = (255, 214, 110)
EMBER = (226, 74, 30)
CREAM = (250, 246, 232)       # text
SKY_TOP = (62, 84, 176)
SKY_HAZE = (168, 170, 226)    # close to the renderer's clear colour (0.5, 0.5, 0.8)

written = []                  # every file written in this run, for the report


def out_path(rel):
    path = os.path.join(RESOURCES, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    return path


def _power_of_two(n):
    return n > 0 and (n & (n - 1)) == 0


def save_png(image, rel, root=None):
    """Writes a truecolour PNG (RGB or RGBA only: the game's loader takes no
    palettes or grey) whose sides are powers of two (OpenGL 1.x textures)."""
    if image.mode not in ("RGB", "RGBA"):
        raise ValueError(f"{rel}: mode {image.mode} is not RGB or RGBA")
    w, h = image.size
    if not (_power_of_two(w) and _power_of_two(h)):
        raise ValueError(f"{rel}: {w}x{h} is not a power-of-two size")
    path = os.path.join(root, rel) if root else out_path(rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    image.save(path, format="PNG", optimize=True)
    written.append(path)
    return path


def save_text(text, rel):
    path = out_path(rel)
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write(text)
    written.append(path)
    return path


def save_wav(samples, rel):
    """16-bit mono PCM at 44.1 kHz. The samples must already lie in [-1, 1]."""
    samples = np.asarray(samples, dtype=np.float64)
    peak = float(np.max(np.abs(samples))) if samples.size else 0.0
    if peak > 1.0:
        raise ValueError(f"{rel}: peak {peak:.3f} would clip")
    pcm = np.round(samples * 32767.0).astype("<i2")
    path = out_path(rel)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(SAMPLE_RATE)
        w.writeframes(pcm.tobytes())
    written.append(path)
    return path


# ---- numbers --------------------------------------------------------------

def rng(seed):
    return np.random.default_rng(seed)


def smoothstep(e0, e1, x):
    t = np.clip((np.asarray(x, dtype=np.float64) - e0) / (e1 - e0), 0.0, 1.0)
    return t * t * (3.0 - 2.0 * t)


def lerp(a, b, t):
    return a + (b - a) * t


def spectral_noise(shape, seed, beta=2.0, low_cut=1.0):
    """Fractal noise that tiles seamlessly (built in the frequency domain),
    scaled to [0, 1]. beta is the spectral slope: higher is smoother."""
    h, w = shape
    r = rng(seed)
    fy = np.fft.fftfreq(h)[:, None] * h
    fx = np.fft.fftfreq(w)[None, :] * w
    f = np.sqrt(fx * fx + fy * fy)
    f[0, 0] = 1.0
    amplitude = 1.0 / np.power(np.maximum(f, low_cut), beta / 2.0)
    amplitude[0, 0] = 0.0
    phase = r.uniform(0, 2 * np.pi, (h, w))
    spectrum = amplitude * np.exp(1j * phase)
    field = np.real(np.fft.ifft2(spectrum))
    field -= field.min()
    field /= max(field.max(), 1e-12)
    return field


def colour_ramp(values, stops):
    """Maps values in [0, 1] through (position, (r, g, b)) stops to float RGB."""
    values = np.asarray(values, dtype=np.float64)
    positions = np.array([s[0] for s in stops])
    colours = np.array([s[1] for s in stops], dtype=np.float64)
    out = np.empty(values.shape + (3,))
    for c in range(3):
        out[..., c] = np.interp(values, positions, colours[:, c])
    return out


def to_image(rgb, alpha=None):
    """Float RGB (0..255) and optional float alpha (0..1) to a PIL image."""
    rgb = np.clip(np.round(rgb), 0, 255).astype(np.uint8)
    if alpha is None:
        return Image.fromarray(rgb, "RGB")
    a = np.clip(np.round(np.asarray(alpha) * 255.0), 0, 255).astype(np.uint8)
    return Image.fromarray(np.dstack([rgb, a]), "RGBA")


def supersampled(size, factor, painter, mode="RGBA", background=(0, 0, 0, 0)):
    """Lets painter(draw_image, scale) draw at factor times the size, then
    scales down with a box filter: cheap anti-aliasing for vector shapes."""
    big = Image.new(mode, (size[0] * factor, size[1] * factor), background)
    painter(big, factor)
    return big.resize(size, Image.Resampling.BOX)


def premultiplied_resize(image, size, resample=Image.Resampling.LANCZOS):
    """Resizes an RGBA picture without dark fringes around transparent parts."""
    a = np.asarray(image, dtype=np.float64) / 255.0
    rgb = a[..., :3] * a[..., 3:4]
    stacked = np.dstack([rgb, a[..., 3]])
    channels = []
    for c in range(4):
        ch = Image.fromarray(stacked[..., c].astype(np.float32), "F").resize(size, resample)
        channels.append(np.asarray(ch, dtype=np.float64))
    alpha = np.clip(channels[3], 0, 1)
    rgb = np.dstack(channels[:3]) / np.maximum(alpha, 1e-6)[..., None]
    return to_image(np.clip(rgb, 0, 1) * 255.0, alpha)


def glow(alpha_mask, radius):
    """A soft halo around a float mask (0..1), via a Gaussian blur."""
    img = Image.fromarray(np.clip(alpha_mask * 255, 0, 255).astype(np.uint8), "L")
    return np.asarray(img.filter(ImageFilter.GaussianBlur(radius)), dtype=np.float64) / 255.0


def composite(base_rgb, base_alpha, over_rgb, over_alpha):
    """Porter-Duff 'over' on float RGB (0..255) and alpha (0..1) arrays."""
    out_a = over_alpha + base_alpha * (1.0 - over_alpha)
    num = over_rgb * over_alpha[..., None] + base_rgb * (base_alpha * (1.0 - over_alpha))[..., None]
    out_rgb = num / np.maximum(out_a, 1e-9)[..., None]
    return out_rgb, out_a
