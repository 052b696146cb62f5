# Set-up and everyday commands. Each target installs the Debian packages it
# needs first, so that a fresh machine needs nothing but this file's commands.

BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: run test stress sanitize build-with-tests deps test-deps picture clean

run: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) -DPENTAGRAM_BUILD_TESTS=OFF
	cmake --build $(BUILD_DIR) -j $(JOBS) --target pentagram
	./$(BUILD_DIR)/pentagram

SANITIZE_DIR ?= build-sanitize

test: test-deps build-with-tests
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS) --label-exclude stress

# The long checks: the window stress, a minute's run, memcheck, and the
# unit, image, offscreen and tool tests built with the sanitizers.
stress: test-deps build-with-tests sanitize
	ctest --test-dir $(BUILD_DIR) --output-on-failure --label-regex stress

sanitize: test-deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DPENTAGRAM_SANITIZE=ON -DPENTAGRAM_BUILD_TESTS=ON
	cmake --build $(SANITIZE_DIR) -j $(JOBS) --target pentagram_tests pentagram_tool_tests pentagram-snapshot
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --test-dir $(SANITIZE_DIR) --output-on-failure -j $(JOBS) --label-regex 'unit|tool'

build-with-tests:
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) -DPENTAGRAM_BUILD_TESTS=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)

deps:
	bash scripts/install-deps.sh

test-deps:
	bash scripts/install-deps.sh --test

# The still picture in the README, made by the snapshot tool.
picture: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target pentagram-snapshot
	./$(BUILD_DIR)/pentagram-snapshot --size 640x400 --frames 54 --out docs/pentagram.png

clean:
	rm -rf $(BUILD_DIR)
