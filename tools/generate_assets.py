#!/usr/bin/python3

# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Generates the whole Kerbolt 2008 resources tree (except config.cfg and
the level files) and the contact sheet docs/assets.png.

    /usr/bin/python3 tools/generate_assets.py     (or: make assets)

Deterministic: fixed seeds and no time stamps, so running it again on the
same machine rewrites every file byte for byte. Needs Debian's python3-pil,
python3-numpy and fonts-dejavu-core."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from assetlib import (common, contact, fonts, gui, loading, meshes, shaders,  # noqa: E402
                      sky, sounds, terrain, thumbnails)


def main():
    steps = [
        ("fonts", fonts.generate),
        ("menu pictures", gui.generate),
    ]
    for label, step in steps:
        print(f"generate_assets: {label}")
        step()
    print("generate_assets: terrain textures and the menu island")
    terrain.generate()
    print("generate_assets: terrain shaders")
    shaders.generate()
    for label, step in [("meshes", meshes.generate), ("skies", sky.generate), ("loading picture", loading.generate),
                        ("sounds", sounds.generate)]:
        print(f"generate_assets: {label}")
        step()
    done = thumbnails.generate()
    print(f"generate_assets: level thumbnails ({len(done)} of {len(thumbnails.LEVELS)} levels present)")
    common.save_text("0 0 0 0 0 0 0 ", "savegame.default")
    print("generate_assets: contact sheet")
    contact.generate()
    total = 0
    for folder, _, files in os.walk(common.RESOURCES):
        total += sum(os.path.getsize(os.path.join(folder, f)) for f in files)
    print(f"generate_assets: wrote {len(common.written)} files; resources/ holds {total / 1e6:.2f} MB")


if __name__ == "__main__":
    main()
