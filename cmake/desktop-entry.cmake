# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Run by cmake --install (and so by CPack): writes the desktop entry with the
# launcher's full path under the prefix being installed to. An Exec key takes
# a plain path as it is; any other is quoted in double quotes, with " ` $ and
# \ escaped by a backslash. % is doubled, and the desktop file format then
# doubles every backslash.
set(exec "${CMAKE_INSTALL_PREFIX}/${KERBOLT_INSTALL_LAUNCHER_DIR}/kerbolt")
if(NOT exec MATCHES "^[A-Za-z0-9/._+-]+$")
    string(REGEX REPLACE "([\"`$\\])" "\\\\\\1" exec "${exec}")
    set(exec "\"${exec}\"")
endif()
string(REPLACE "%" "%%" exec "${exec}")
string(REPLACE "\\" "\\\\" KERBOLT_DESKTOP_EXEC "${exec}")
configure_file("${KERBOLT_DESKTOP_TEMPLATE}" "${KERBOLT_DESKTOP_ENTRY}" @ONLY)
