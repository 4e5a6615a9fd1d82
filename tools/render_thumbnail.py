#!/usr/bin/python3

# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Renders level thumbnails: a side view of a level's terrain over its
background, for the level selection screen. Run from the repository root.

    /usr/bin/python3 tools/render_thumbnail.py
        renders textures/lvls/lvl1_thumb.png ... lvl7_thumb.png for every
        level file of the game's list that exists
    /usr/bin/python3 tools/render_thumbnail.py LEVEL_FILE OUTPUT_PNG
        renders one level file (e.g. resources/lvls/lvl1.txt) to a file

Paths inside level and height-field files are read relative to the current
directory, as the game reads them."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from assetlib import common, thumbnails  # noqa: E402


def main(argv):
    if len(argv) == 3:
        picture = thumbnails.render(os.getcwd(), argv[1])
        picture.save(argv[2], format="PNG", optimize=True)
        print(f"render_thumbnail: {argv[1]} -> {argv[2]}")
        return 0
    if len(argv) != 1:
        print(__doc__, file=sys.stderr)
        return 2
    done = thumbnails.generate()
    for path in common.written:
        print(f"render_thumbnail: {os.path.relpath(path, common.REPO)}")
    if not done:
        print("render_thumbnail: no level files found under resources/lvls")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
