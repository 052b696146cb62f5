# Set-up and everyday commands. Each target installs the Debian packages it
# needs first, so that a fresh machine needs nothing but this file's commands.

BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: run test build build-with-tests deps test-deps picture clean

run: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) -DPENTAGRAM_BUILD_TESTS=OFF
	cmake --build $(BUILD_DIR) -j $(JOBS) --target pentagram
	./$(BUILD_DIR)/pentagram

test: test-deps build-with-tests
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

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
