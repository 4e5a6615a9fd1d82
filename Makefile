# Kerbolt 2008: the front door.
#   make run    install what is missing, build, play
#   make test   the same plus the test tools, then every test in a virtual X server
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
# -noreset: the server must not restart between test programs, or a program
# that connects during the restart is refused.
XVFB_ARGS = -screen 0 1280x1024x24 -nolisten tcp -noreset

.PHONY: run test build configure clean deps test-deps assets

run: build
	./$(BUILD_DIR)/kerbolt

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

clean:
	rm -rf $(BUILD_DIR)
