# cmake --install and the Debian package (make package): the game as a
# player's system has it. The real executable and the read-only resources
# stay out of the PATH; the launcher `kerbolt` prepares the player's own game
# folder and starts the game there (packaging/kerbolt.in).
include(GNUInstallDirs)

set(KERBOLT_INSTALL_GAME "${CMAKE_INSTALL_LIBEXECDIR}/kerbolt/kerbolt")
set(KERBOLT_INSTALL_RESOURCES "${CMAKE_INSTALL_DATADIR}/kerbolt/resources")
# The launcher finds the tree from its own place, so a moved prefix still works.
file(RELATIVE_PATH KERBOLT_LAUNCHER_TO_PREFIX "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix")
configure_file(packaging/kerbolt.in ${PROJECT_BINARY_DIR}/packaging/kerbolt @ONLY)

# Installing needs only the game, not the tools and tests: make package builds
# `kerbolt`, and an install test depends on it.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS kerbolt RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/kerbolt)
install(PROGRAMS ${PROJECT_BINARY_DIR}/packaging/kerbolt DESTINATION ${CMAKE_INSTALL_BINDIR})
# Only the tracked tree: the savegame that `make run` and the game write in a
# developer's checkout, and the game's temporary savegame, are the player's.
install(DIRECTORY resources/ DESTINATION ${KERBOLT_INSTALL_RESOURCES}
        PATTERN savegame EXCLUDE
        PATTERN savegame.new EXCLUDE)
install(FILES packaging/kerbolt.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 48 128 256)
    install(FILES packaging/icons/kerbolt-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME kerbolt.png)
endforeach()

# The man page compressed as Debian keeps them; without a time stamp (-n), so
# the same page always gives the same file.
set(KERBOLT_MANPAGE ${PROJECT_SOURCE_DIR}/packaging/kerbolt.6)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KERBOLT_MANPAGE})
execute_process(COMMAND gzip -9 -n -c ${KERBOLT_MANPAGE}
                OUTPUT_FILE ${PROJECT_BINARY_DIR}/packaging/kerbolt.6.gz
                RESULT_VARIABLE KERBOLT_GZIP_RESULT)
if(NOT KERBOLT_GZIP_RESULT EQUAL 0)
    message(FATAL_ERROR "cannot compress the man page with gzip: ${KERBOLT_GZIP_RESULT}")
endif()
install(FILES ${PROJECT_BINARY_DIR}/packaging/kerbolt.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# ---- The Debian package -------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kerbolt)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kerbolt 2008 developers <kerbolt@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D side-scrolling jump-and-run")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "3D side-scrolling jump-and-run
 Run along a height-field terrain ahead of an explosion that chases the
 scrolling view, jump over pits, and win gold, silver or bronze in seven
 levels. Each player's medals are kept in ~/.local/share/kerbolt.")
# The runtime packages from the libraries the game links (dpkg-shlibdeps):
# libsdl1.2debian, libsdl-image1.2, libsdl-mixer1.2, libglew, libopengl0,
# libglu1-mesa, libc6, libstdc++6. SDL opens libGL.so.1 only when it makes
# the window, which dpkg-shlibdeps cannot see: libgl1 is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS libgl1)
include(CPack)
