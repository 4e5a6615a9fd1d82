# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Kerbolt 2008: the front door.
#   make run    install what is missing, build, play
#   make test   the same plus the test tools, then every test in a virtual X server
#   make assets regenerate the pictures, fonts, sounds, meshes and shaders under resources/
#   make screenshots  the pictures of every screen and of a round in docs/
#   make fuzz   the libFuzzer targets for the game's file formats, FUZZ_SECONDS each
#   make test-sanitized  every test again, built with AddressSanitizer, LeakSanitizer
#               and UndefinedBehaviorSanitizer (make test runs it too)
#   make bench  the frame-time benchmark under Xvfb at the shipped window size:
#               a table, and the same figures as JSON lines in BENCH_JSON
#   make web    the game built to WebAssembly: a static folder, $(WEB_DIR)/kerbolt
#   make web-serve  that folder served on http://127.0.0.1:$(WEB_PORT)/
#   make test-web   the browser build played in headless Chromium (make test runs it too)
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
# -noreset: the server must not restart between test programs, or a program
# that connects during the restart is refused.
XVFB_ARGS = -screen 0 1280x1024x24 -nolisten tcp -noreset
# The fuzz targets' clang tree; make fuzz runs each target FUZZ_SECONDS,
# make test FUZZ_TEST_SECONDS after the other tests.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 600
FUZZ_TEST_SECONDS ?= 30
# The sanitizer tree (KERBOLT_SANITIZE) and the options its tests run with;
# the games that the end-to-end tests start inherit them. exitcode=23: a
# report ends a program with a status that no test expects (the game ends
# with 0 or 1). No abort_on_error: the status is enough, and no core files.
# print_suppressions=0: the end-to-end tests require an empty stderr.
# use_tls=0: LeakSanitizer's scan of dynamic thread-local storage crashes
# ("Tracer caught signal 11") on a slot that glibc leaves stale once SDL_mixer
# has loaded and dropped its MIDI library; the game keeps no heap memory in
# thread-local storage (see tests/sanitizers/lsan.supp for what the loader
# and GLib keep there).
SANITIZE_DIR ?= build-asan
# make test runs the suite a second time on sdl12-compat, the SDL 1.2 interface
# over SDL 2 that newer distributions ship instead of SDL 1.2 (libsdl1.2-compat).
SDL12_COMPAT_DIR ?= /usr/lib/x86_64-linux-gnu/sdl12-compat
# The browser build's tree (Emscripten) and the port make web-serve uses.
# Debian's emcc finds its JavaScript parser (acorn) in Node's shared folder.
WEB_DIR ?= build-web
WEB_PORT ?= 8080
EMSCRIPTEN_ENV = NODE_PATH=/usr/share/nodejs
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:exitcode=23:check_initialization_order=1:strict_init_order=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp:print_suppressions=0:use_tls=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: run test build configure clean deps test-deps assets screenshots fuzz fuzz-build test-sanitized package bench \
	web web-serve test-web

run: build resources/savegame
	./$(BUILD_DIR)/kerbolt

# The game rewrites its savegame, so only the fresh one is tracked.
resources/savegame:
	cp resources/savegame.default resources/savegame

test: test-deps configure
	cmake --build $(BUILD_DIR) -j$(JOBS)
	xvfb-run -a -s "$(XVFB_ARGS)" ctest --test-dir $(BUILD_DIR) --output-on-failure -j2
	LD_LIBRARY_PATH=$(SDL12_COMPAT_DIR) xvfb-run -a -s "$(XVFB_ARGS)" ctest --test-dir $(BUILD_DIR) \
		--output-on-failure -j2 -E '^levelcheck$$'
	$(MAKE) test-sanitized
	$(MAKE) test-web
	$(MAKE) fuzz-build
	fuzz/run $(FUZZ_DIR) $(FUZZ_TEST_SECONDS)

# The Debian package, build/kerbolt_<version>_<arch>.deb (apt install ./build/kerbolt_*.deb);
# the game in it is built in PACKAGE_DIR with the distribution's flags.
PACKAGE_DIR ?= build-package
package: deps
	scripts/install-deps --package
	JOBS=$(JOBS) scripts/build-package $(PACKAGE_DIR) $(BUILD_DIR)

build: deps configure
	cmake --build $(BUILD_DIR) -j$(JOBS) --target kerbolt

configure:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

test-sanitized: test-deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKERBOLT_SANITIZE=ON
	cmake --build $(SANITIZE_DIR) -j$(JOBS)
	env $(SANITIZER_ENV) xvfb-run -a -s "$(XVFB_ARGS)" ctest --test-dir $(SANITIZE_DIR) --output-on-failure -j2

fuzz: test-deps fuzz-build
	fuzz/run $(FUZZ_DIR) $(FUZZ_SECONDS)

fuzz-build:
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
		-DKERBOLT_FUZZ=ON -DKERBOLT_TESTS=OFF
	cmake --build $(FUZZ_DIR) -j$(JOBS) --target fuzz_targets

deps:
	scripts/install-deps

test-deps:
	scripts/install-deps --test

# Debian's own python3 (with python3-pil and python3-numpy), not whatever
# python3 comes first on the PATH.
assets:
	scripts/install-deps --assets
	/usr/bin/python3 tools/generate_assets.py
	/usr/bin/python3 tools/levels.py
	/usr/bin/python3 tools/render_thumbnail.py
	/usr/bin/python3 tools/make_icons.py

# The benchmark's figures as JSON lines, one object per scene and metric.
BENCH_JSON ?= bench.json
# The screen holds the 1024 x 768 window of resources/config.cfg; no sound card needed.
bench: test-deps configure
	cmake --build $(BUILD_DIR) -j$(JOBS) --target kerbolt-bench
	SDL_AUDIODRIVER=dummy xvfb-run -a -s "$(XVFB_ARGS)" ./$(BUILD_DIR)/kerbolt-bench --json $(BENCH_JSON) .

screenshots: test-deps configure
	cmake --build $(BUILD_DIR) -j$(JOBS) --target screenshots
	tools/screenshots.sh $(BUILD_DIR)/screenshots docs

web:
	scripts/install-deps --web
	$(EMSCRIPTEN_ENV) emcmake cmake -S . -B $(WEB_DIR) -DCMAKE_BUILD_TYPE=Release
	$(EMSCRIPTEN_ENV) cmake --build $(WEB_DIR) -j$(JOBS)

web-serve: web
	@echo "Kerbolt 2008 at http://127.0.0.1:$(WEB_PORT)/ (Ctrl-C ends)"
	/usr/bin/python3 -m http.server --bind 127.0.0.1 --directory $(WEB_DIR)/kerbolt $(WEB_PORT)

# Headless Chromium through chromium-driver, with Debian's python3-selenium.
test-web: web
	scripts/install-deps --web-test
	/usr/bin/python3 tests/web/browser_test.py $(WEB_DIR)/kerbolt

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(PACKAGE_DIR) $(WEB_DIR)
