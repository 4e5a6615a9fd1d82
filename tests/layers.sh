#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The game's folders are layers, each using only those below it:
#   platform < engine < resources < world < menu < app
# Fails, naming the line, where a file includes a header of a higher layer.
set -euo pipefail
src=${1:?usage: layers.sh SRC_DIR}
layers=(platform engine resources world menu app)
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done

status=0
for layer in "${layers[@]}"; do
    while IFS= read -r hit; do
        included=${hit#*#include \"}
        included=${included%%/*}
        [[ -n ${rank[$included]+set} ]] || continue
        if (( rank[$included] > rank[$layer] )); then
            echo "upward include: $hit"
            status=1
        fi
    done < <(grep -HnE '^\s*#\s*include\s+"[a-z]+/' "$src/$layer"/* || true)
done
exit $status
