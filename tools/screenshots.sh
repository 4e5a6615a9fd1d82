#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Saves the pictures of every screen and of a round (see tools/screenshots.cpp)
# from a session played in a temporary copy of resources/, in a virtual X
# server and without sound, so the shipped savegame is never touched.
#   tools/screenshots.sh <screenshots executable> <output folder>
set -euo pipefail

tool=$(realpath "$1")
output=$(realpath -m "$2")
root=$(cd "$(dirname "$0")/.." && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/resources" "$work/resources"
rm -f "$work/resources/savegame.new"
printf '0 0 0 0 0 0 0 ' >"$work/resources/savegame"
# The shipped window size: the level selection needs 768 rows to show the special level.
cat >"$work/resources/config.cfg" <<'CONFIG'
window_width 1024
window_height 768
renderer_width 1024
renderer_height 768
fullscreen 0
audio_frequency 44100
audio_channels 2
audio_chunksize 1024
CONFIG

SDL_AUDIODRIVER=dummy xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" \
    "$tool" "$work" "$output"

# JPEG keeps the repository small; the terrain and the sky lose nothing visible.
for picture in "$output"/screen*.png; do
    convert "$picture" -quality 88 "${picture%.png}.jpg"
    rm "$picture"
done
