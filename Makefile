# Kerbolt 2008: the front door.
#   make run    install what is missing, build, play
#   make test   the same plus the test tools, then every test in a virtual X server
#   make assets regenerate the pictures, fonts, sounds, meshes and shaders under resources/
#   make screenshots  the pictures of every screen and of a round in docs/
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
# -noreset: the server must not restart between test programs, or a program
# that connects during the restart is refused.
XVFB_ARGS = -screen 0 1280x1024x24 -nolisten tcp -noreset

.PHONY: run test build configure clean deps test-deps assets screenshots

run: build resources/savegame
	./$(BUILD_DIR)/kerbolt

# The game rewrites its savegame, so only the fresh one is tracked.
resources/savegame:
	cp resources/savegame.default resources/savegame

test: test-deps configure
	cmake --build $(BUILD_DIR) -j$(JOBS)
	xvfb-run -a -s "$(XVFB_ARGS)" ctest --test-dir $(BUILD_DIR) --output-on-failure -j2

build: deps configure
	cmake --build $(BUILD_DIR) -j$(JOBS) --target kerbolt

configure:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

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

screenshots: test-deps configure
	cmake --build $(BUILD_DIR) -j$(JOBS) --target screenshots
	tools/screenshots.sh $(BUILD_DIR)/screenshots docs

clean:
	rm -rf $(BUILD_DIR)
