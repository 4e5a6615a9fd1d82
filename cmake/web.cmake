# SPDX-FileCopyrightText: 2026 the Kerbolt team
# SPDX-License-Identifier: GPL-3.0-or-later

# The game built to WebAssembly with Emscripten (make web): the same sources
# and resources, Emscripten's SDL 1.2 and mixer, OpenGL 1.x emulated over
# WebGL, and the browser side of the platform module. The result is one
# static folder, ${KERBOLT_WEB_DIR}: index.html, kerbolt.js, kerbolt.wasm
# and kerbolt.data (the resources tree), with the web app manifest, its
# icons and the service worker that keeps these files for offline play.

set(KERBOLT_WEB_DIR ${CMAKE_BINARY_DIR}/kerbolt)
set(KERBOLT_PLATFORM src/platform/platform_web.cpp)

add_library(kerbolt_web_media INTERFACE)
# Errors are C++ exceptions, caught where the desktop catches them.
target_compile_options(kerbolt_web_media INTERFACE -fexceptions)
target_link_options(kerbolt_web_media INTERFACE
    -fexceptions
    # Immediate mode, client-side arrays, multitexture and GLSL 1.10 built-ins over WebGL 1.
    -sLEGACY_GL_EMULATION=1
    # Pictures decoded from the file's bytes (platform_web.cpp says why).
    -sSTB_IMAGE=1
    -sALLOW_MEMORY_GROWTH=1)
set(KERBOLT_MEDIA kerbolt_web_media)

# Makes the game executable target the page's script and puts the page and
# the resources beside it.
function(kerbolt_web_page target)
    set(page ${PROJECT_SOURCE_DIR}/web)
    set_target_properties(${target} PROPERTIES SUFFIX .js RUNTIME_OUTPUT_DIRECTORY ${KERBOLT_WEB_DIR})
    # The shipped files live apart from the player's folder (web/kerbolt.pre.js);
    # a savegame of a desktop game played from this tree is not shipped.
    target_link_options(${target} PRIVATE
        --preload-file ${PROJECT_SOURCE_DIR}/resources@/shipped/resources
        "--exclude-file=*/resources/savegame"
        "--exclude-file=*/resources/savegame.new"
        "--exclude-file=*/resources/savegame.lock"
        --pre-js ${page}/kerbolt.pre.js)
    file(GLOB_RECURSE shipped CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/*)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${shipped} ${page}/kerbolt.pre.js)

    # The canvas has the configured window size.
    file(STRINGS ${PROJECT_SOURCE_DIR}/resources/config.cfg width REGEX "^window_width ")
    file(STRINGS ${PROJECT_SOURCE_DIR}/resources/config.cfg height REGEX "^window_height ")
    string(REGEX REPLACE "^window_width +" "" KERBOLT_WINDOW_WIDTH "${width}")
    string(REGEX REPLACE "^window_height +" "" KERBOLT_WINDOW_HEIGHT "${height}")
    configure_file(${page}/index.html.in ${KERBOLT_WEB_DIR}/index.html @ONLY)

    # Installable, and playable offline after one visit.
    configure_file(${page}/kerbolt.webmanifest ${KERBOLT_WEB_DIR}/kerbolt.webmanifest COPYONLY)
    set(kept index.html kerbolt.js kerbolt.wasm kerbolt.data kerbolt.webmanifest)
    foreach(size 48 128 256)
        configure_file(${PROJECT_SOURCE_DIR}/packaging/icons/kerbolt-${size}.png
                       ${KERBOLT_WEB_DIR}/icons/kerbolt-${size}.png COPYONLY)
        list(APPEND kept icons/kerbolt-${size}.png)
    endforeach()
    list(JOIN kept "," kept_list)
    # kerbolt.wasm and kerbolt.data are written by the same link as kerbolt.js.
    set(kept_paths ${kept})
    list(REMOVE_ITEM kept_paths kerbolt.wasm kerbolt.data)
    list(TRANSFORM kept_paths PREPEND ${KERBOLT_WEB_DIR}/)
    add_custom_command(OUTPUT ${KERBOLT_WEB_DIR}/service-worker.js
        COMMAND ${CMAKE_COMMAND} -DSITE=${KERBOLT_WEB_DIR} -DFILES=${kept_list}
                -DTEMPLATE=${page}/service-worker.js.in -P ${PROJECT_SOURCE_DIR}/cmake/webcache.cmake
        DEPENDS ${target} ${kept_paths} ${page}/service-worker.js.in ${PROJECT_SOURCE_DIR}/cmake/webcache.cmake
        VERBATIM)
    add_custom_target(${target}_service_worker ALL DEPENDS ${KERBOLT_WEB_DIR}/service-worker.js)
endfunction()
