# SPDX-FileCopyrightText: 2026 the Kerbolt team
# SPDX-License-Identifier: GPL-3.0-or-later

# Writes the browser build's service worker (cmake -P): the files it keeps,
# and a cache name taken from their content, so that every build that
# changes one of them gets a cache of its own.
#   -DSITE=<the built folder> -DFILES=<file,file,...> -DTEMPLATE=<service-worker.js.in>

string(REPLACE "," ";" files "${FILES}")
set(contents "")
set(KERBOLT_CACHED_FILES "'./'")
foreach(file IN LISTS files)
    file(SHA256 ${SITE}/${file} hash)
    string(APPEND contents "${file} ${hash}\n")
    string(APPEND KERBOLT_CACHED_FILES ", '${file}'")
endforeach()
string(SHA256 version "${contents}")
string(SUBSTRING ${version} 0 16 KERBOLT_CACHE_VERSION)
configure_file(${TEMPLATE} ${SITE}/service-worker.js @ONLY)
