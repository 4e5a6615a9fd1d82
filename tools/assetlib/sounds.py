# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""The sound effects, synthesised: 16-bit mono PCM at 44.1 kHz.

Every sound starts and ends at silence (short raised-cosine fades) and is
scaled to a designed peak level below full scale, so the menu ticks sit
quietly under the jump and the blast."""

import numpy as np

from . import common

RATE = common.SAMPLE_RATE


def _t(seconds):
    return np.arange(int(round(seconds * RATE))) / RATE


def _fade(x, fade_in=0.002, fade_out=0.015):
    x = x.copy()
    n_in = max(2, int(fade_in * RATE))
    n_out = max(2, int(fade_out * RATE))
    x[:n_in] *= 0.5 - 0.5 * np.cos(np.linspace(0, np.pi, n_in))
    x[-n_out:] *= 0.5 + 0.5 * np.cos(np.linspace(0, np.pi, n_out))
    x[0] = 0.0
    x[-1] = 0.0
    return x


def _level(x, peak):
    return x / np.max(np.abs(x)) * peak


def _finish(x, peak, fade_in=0.002, fade_out=0.015):
    x = x - np.mean(x)
    return _level(_fade(x, fade_in, fade_out), peak)


def _sweep(f0, f1, seconds, curve=1.0):
    """Phase of a tone gliding from f0 to f1 Hz."""
    t = _t(seconds)
    k = (t / seconds) ** curve
    freq = f0 * (f1 / f0) ** k
    return 2 * np.pi * np.cumsum(freq) / RATE


def _noise(seconds, seed):
    return common.rng(seed).standard_normal(len(_t(seconds)))


def _band(x, low, high):
    """Band-limits a signal in the frequency domain with soft edges."""
    n = len(x)
    spectrum = np.fft.rfft(x)
    f = np.fft.rfftfreq(n, 1.0 / RATE)
    gain = np.ones_like(f)
    if low > 0:
        gain *= 1.0 / (1.0 + (low / np.maximum(f, 1e-3)) ** 4)
    if high is not None:
        gain *= 1.0 / (1.0 + (f / high) ** 4)
    return np.fft.irfft(spectrum * gain, n)


def _decay(seconds, tau, attack=0.001):
    t = _t(seconds)
    return (1 - np.exp(-t / attack)) * np.exp(-t / tau)


# ---- the effects ----------------------------------------------------------

def menu_over():
    """Pointer enters a button: a soft, short glassy tick."""
    d = 0.1
    env = _decay(d, 0.016, 0.0015)
    tone = np.sin(_sweep(1900, 1500, d)) + 0.3 * np.sin(2 * _sweep(1900, 1500, d))
    air = _band(_noise(d, 501), 3000, 9000) * _decay(d, 0.006, 0.0005) * 0.3
    return _finish(tone * env + air, 0.42, fade_out=0.01)


def menu_click():
    """A button is clicked: a crisp click with a bright, short pluck."""
    d = 0.18
    click = _band(_noise(d, 511), 1500, 10000) * _decay(d, 0.004, 0.0003)
    phase = _sweep(1040, 780, d, 0.4)
    pluck = (np.sin(phase) + 0.45 * np.sin(2 * phase) + 0.2 * np.sin(3 * phase)) * _decay(d, 0.045, 0.001)
    body = np.sin(_sweep(260, 200, d)) * _decay(d, 0.03, 0.002) * 0.6
    return _finish(0.9 * click + 0.6 * pluck + body, 0.72)


def player_jump():
    """A springy rising 'boing' with a whoosh of air."""
    d = 0.34
    phase = _sweep(190, 760, d, 0.7)
    t = _t(d)
    vibrato = 1.0 + 0.04 * np.sin(2 * np.pi * 22 * t)
    tone = np.sin(phase * vibrato) + 0.35 * np.sin(2 * phase * vibrato) + 0.12 * np.sin(3 * phase)
    env = (1 - np.exp(-t / 0.008)) * np.exp(-t / 0.14)
    whoosh = _band(_noise(d, 521), 700, 4000) * np.sin(np.pi * np.clip(t / d, 0, 1)) ** 2 * 0.25
    return _finish(tone * env + whoosh, 0.66, fade_out=0.04)


def player_land():
    """Feet hit the ground: a soft low thud and a scuff of dirt."""
    d = 0.26
    thud = np.sin(_sweep(120, 48, d, 0.5)) * _decay(d, 0.06, 0.002)
    scuff = _band(_noise(d, 531), 200, 2200) * _decay(d, 0.035, 0.001) * 0.55
    grit = _band(_noise(d, 532), 2500, 7000) * _decay(d, 0.015, 0.0005) * 0.12
    return _finish(thud + scuff + grit, 0.78, fade_out=0.05)


def player_walk():
    """Eight quick running steps in 1.2 s. Each step has died away before
    the next loop starts, so the sound repeats without a seam."""
    d = 1.2
    out = np.zeros(len(_t(d)))
    step_len = 0.11
    for k in range(8):
        start = int((0.008 + k * 0.15) * RATE)
        seed = 541 + k
        pitch = 1.0 + (0.06 if k % 2 else -0.04)
        thump = np.sin(_sweep(150 * pitch, 70 * pitch, step_len)) * _decay(step_len, 0.022, 0.0015)
        crunch = _band(_noise(step_len, seed), 600 * pitch, 3800) * _decay(step_len, 0.018, 0.001)
        loud = 0.85 if k % 2 else 1.0
        step = (0.8 * thump + 0.6 * crunch) * loud
        out[start:start + len(step)] += step
    return _finish(out, 0.5, fade_in=0.003, fade_out=0.02)


def explosion():
    """The bomb: a sharp crack, a deep boom and rolling rumble for five
    seconds, with crackling debris."""
    d = 5.0
    t = _t(d)
    crack = _band(_noise(d, 551), 400, 9000) * _decay(d, 0.03, 0.0005)
    # The boom: noise whose brightness falls as it decays.
    raw = _noise(d, 552)
    bright = _band(raw, 20, 900) * _decay(d, 0.22, 0.004)
    dark = _band(raw, 20, 260) * _decay(d, 1.2, 0.01)
    sub = np.sin(_sweep(58, 28, d, 0.5)) * _decay(d, 0.9, 0.006)
    # Rolling: slow swells in the rumble.
    roll = 1.0 + 0.45 * np.sin(2 * np.pi * 1.3 * t + 0.6) * np.sin(2 * np.pi * 0.37 * t)
    rumble = _band(_noise(d, 553), 25, 180) * np.exp(-t / 1.8) * (1 - np.exp(-t / 0.3)) * roll
    # Debris crackles, thinning out.
    r = common.rng(554)
    crackle = np.zeros(len(t))
    for _ in range(140):
        at = r.exponential(0.9)
        if at > d - 0.1:
            continue
        i = int(at * RATE)
        ln = int(r.uniform(0.004, 0.02) * RATE)
        crackle[i:i + ln] += r.standard_normal(ln) * np.exp(-np.arange(ln) / (ln / 4)) * np.exp(-at / 1.2)
    crackle = _band(crackle, 1200, 8000)
    mix = (0.35 * crack / np.max(np.abs(crack)) + 0.7 * bright / np.max(np.abs(bright))
           + 1.4 * dark / np.max(np.abs(dark)) + 1.1 * sub + 1.0 * rumble / np.max(np.abs(rumble))
           + 0.25 * crackle / max(np.max(np.abs(crackle)), 1e-9))
    # A soft limiter keeps the peak of the first blast from dominating.
    mix = np.tanh(mix * 0.9)
    return _finish(mix, 0.9, fade_in=0.001, fade_out=0.6)


def _bell(freq, seconds, tau):
    t = _t(seconds)
    mod = np.sin(2 * np.pi * freq * 2.0 * t) * 1.6 * np.exp(-t / (tau * 0.6))
    tone = np.sin(2 * np.pi * freq * t + mod) + 0.25 * np.sin(2 * np.pi * freq * 2 * t)
    return tone * (1 - np.exp(-t / 0.003)) * np.exp(-t / tau)


def game_end():
    """The round is over: a quick rising arpeggio landing on a ringing
    chord."""
    d = 1.8
    out = np.zeros(len(_t(d)))
    notes = [(0.00, 523.25), (0.11, 659.25), (0.22, 783.99), (0.33, 1046.5)]
    for start, freq in notes:
        tone = _bell(freq, 0.5, 0.16)
        i = int(start * RATE)
        out[i:i + len(tone)] += tone * 0.7
    chord_at = int(0.46 * RATE)
    for freq in (523.25, 659.25, 783.99, 1046.5):
        tone = _bell(freq, d - 0.46, 0.45)
        out[chord_at:chord_at + len(tone)] += tone * 0.45
    sparkle = _band(_noise(d, 561), 5000, 12000) * np.exp(-np.abs(_t(d) - 0.48) / 0.05) * 0.15
    return _finish(out + sparkle, 0.8, fade_out=0.25)


def default_sound():
    """Stands in for a missing sound: a plain, gentle two-note beep."""
    d = 0.24
    t = _t(d)
    freq = np.where(t < 0.1, 660.0, 880.0)
    tone = np.sin(2 * np.pi * np.cumsum(freq) / RATE)
    env = np.where(t < 0.1, np.sin(np.pi * t / 0.1), np.sin(np.pi * (t - 0.1) / 0.14)) ** 2
    return _finish(tone * env, 0.55)


SOUNDS = {
    "sounds/defaultsound.wav": default_sound,
    "sounds/menue_click.wav": menu_click,
    "sounds/menue_over.wav": menu_over,
    "sounds/player_jump.wav": player_jump,
    "sounds/player_land2.wav": player_land,
    "sounds/player_walk.wav": player_walk,
    "sounds/explosion.wav": explosion,
    "sounds/game_end.wav": game_end,
}


def generate():
    for rel, make in SOUNDS.items():
        common.save_wav(make(), rel)
