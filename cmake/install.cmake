# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

# cmake --install and the Debian package (make package): the game as a
# player's system has it, laid out as Debian's policy for games asks. The
# launcher `kerbolt` lies in games/, the real executable in lib/games/kerbolt/
# and the read-only resources in share/games/kerbolt/; the launcher prepares
# the player's own game folder and starts the game there (packaging/kerbolt.in).
include(GNUInstallDirs)

set(KERBOLT_INSTALL_LAUNCHER_DIR games)
set(KERBOLT_INSTALL_GAME_DIR lib/games/kerbolt)
set(KERBOLT_INSTALL_GAME "${KERBOLT_INSTALL_GAME_DIR}/kerbolt")
set(KERBOLT_INSTALL_RESOURCES "${CMAKE_INSTALL_DATADIR}/games/kerbolt/resources")
# The id that names the AppStream component and the desktop entry's file.
set(KERBOLT_APP_ID org.example.kerbolt)
# The launcher finds the tree from its own place, so a moved prefix still works.
file(RELATIVE_PATH KERBOLT_LAUNCHER_TO_PREFIX "/prefix/${KERBOLT_INSTALL_LAUNCHER_DIR}" "/prefix")
configure_file(packaging/kerbolt.in ${PROJECT_BINARY_DIR}/packaging/kerbolt @ONLY)

# Installing needs only the game, not the tools and tests: make package builds
# `kerbolt`, and an install test depends on it.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS kerbolt RUNTIME DESTINATION ${KERBOLT_INSTALL_GAME_DIR})
install(PROGRAMS ${PROJECT_BINARY_DIR}/packaging/kerbolt DESTINATION ${KERBOLT_INSTALL_LAUNCHER_DIR})
# Only the tracked tree: the savegame that `make run` and the game write in a
# developer's checkout, and the game's temporary savegame and lock file, are
# the player's.
install(DIRECTORY resources/ DESTINATION ${KERBOLT_INSTALL_RESOURCES}
        PATTERN savegame EXCLUDE
        PATTERN savegame.new EXCLUDE
        PATTERN savegame.lock EXCLUDE)

# The desktop entry names the launcher by its full path, since games/ is not
# on every session's PATH; the prefix is known only when installing, so
# cmake/desktop-entry.cmake writes the entry then.
install(CODE "set(KERBOLT_DESKTOP_TEMPLATE \"${PROJECT_SOURCE_DIR}/packaging/${KERBOLT_APP_ID}.desktop.in\")
    set(KERBOLT_DESKTOP_ENTRY \"${PROJECT_BINARY_DIR}/packaging/${KERBOLT_APP_ID}.desktop\")
    set(KERBOLT_INSTALL_LAUNCHER_DIR ${KERBOLT_INSTALL_LAUNCHER_DIR})")
install(SCRIPT cmake/desktop-entry.cmake)
install(FILES ${PROJECT_BINARY_DIR}/packaging/${KERBOLT_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/${KERBOLT_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 48 128 256)
    install(FILES packaging/icons/kerbolt-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME kerbolt.png)
endforeach()

# The man page and the changelog compressed as Debian keeps them; without a
# time stamp (-n), so the same text always gives the same file.
function(kerbolt_gzip source target)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    execute_process(COMMAND gzip -9 -n -c ${source} OUTPUT_FILE ${target} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "cannot compress ${source} with gzip: ${result}")
    endif()
endfunction()
kerbolt_gzip(${PROJECT_SOURCE_DIR}/packaging/kerbolt.6 ${PROJECT_BINARY_DIR}/packaging/kerbolt.6.gz)
kerbolt_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/packaging/kerbolt.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# The copyright file in Debian's machine-readable format: the stanzas of
# packaging/copyright, then the full texts of the licences that Debian does
# not keep in /usr/share/common-licenses, indented as the format wants.
set(KERBOLT_COPYRIGHT ${PROJECT_BINARY_DIR}/packaging/copyright)
file(READ ${PROJECT_SOURCE_DIR}/packaging/copyright KERBOLT_COPYRIGHT_TEXT)
foreach(licence CC-BY-SA-4.0 Bitstream-Vera)
    set(text_file ${PROJECT_SOURCE_DIR}/LICENSES/${licence}.txt)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${text_file})
    file(STRINGS ${text_file} lines)
    string(APPEND KERBOLT_COPYRIGHT_TEXT "\nLicense: ${licence}\n")
    foreach(line IN LISTS lines)
        if(line MATCHES "^[ \t]*$")
            set(line ".")
        endif()
        string(APPEND KERBOLT_COPYRIGHT_TEXT " ${line}\n")
    endforeach()
endforeach()
file(WRITE ${KERBOLT_COPYRIGHT} "${KERBOLT_COPYRIGHT_TEXT}")
install(FILES ${KERBOLT_COPYRIGHT} ${PROJECT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kerbolt)

# ---- The Debian package -------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kerbolt)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# No person: the team, at an address under a domain kept for examples.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "the Kerbolt team <kerbolt@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D side-scrolling jump-and-run")
# CPack puts the summary above the long description and indents it.
file(READ ${PROJECT_SOURCE_DIR}/packaging/description CPACK_DEBIAN_PACKAGE_DESCRIPTION)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/packaging/description)
# The runtime packages from the libraries the game links (dpkg-shlibdeps):
# libsdl1.2debian, libsdl-image1.2, libsdl-mixer1.2, libglew, libopengl0,
# libglu1-mesa, libc6, libstdc++6. SDL opens libGL.so.1 only when it makes
# the window, which dpkg-shlibdeps cannot see: libgl1 is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS libgl1)
include(CPack)
