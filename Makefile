# Set-up and everyday commands. Each target installs the Debian packages it
# needs first, so that a fresh machine needs nothing but this file's commands.

BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: run test bench stress sanitize lint package animation build-with-tests deps test-deps picture clean \
	windows test-windows bench-windows lint-windows web web-with-tests test-web bench-web lint-web \
	arm64 test-arm64 bench-arm64 lint-arm64

run: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) -DPENTAGRAM_BUILD_TESTS=OFF
	cmake --build $(BUILD_DIR) -j $(JOBS) --target pentagram
	./$(BUILD_DIR)/pentagram

SANITIZE_DIR ?= build-sanitize

# Every ctest run keeps its results as JUnit (with what each test printed,
# so that the cases of a whole GoogleTest program count too), for the
# summary at the end of CI's run (scripts/test_summary.py).
RESULTS_DIR ?= $(abspath $(BUILD_DIR))/test-results
CTEST = ctest --output-on-failure --test-output-size-passed 1048576 --test-output-size-failed 1048576
results = mkdir -p $(RESULTS_DIR) && rm -f $(RESULTS_DIR)/$(1).xml $(RESULTS_DIR)/$(1).*.xml

test: test-deps build-with-tests
	$(call results,test)
	$(CTEST) --test-dir $(BUILD_DIR) -j $(JOBS) --label-exclude 'stress|windows|web|arm64' --output-junit $(RESULTS_DIR)/test.xml

# The frame-cost comparison, the session figures, and the program on other
# displays and window managers, in a build of its own made as the program is
# built for people to run.
BENCH_DIR ?= build-bench
# The instruction counts a frame are set beside the program as it was before
# the strokes' and the image's last round of work, built once in a tree of
# its own.
BEFORE ?= 116c7a0db439ecd4e8e4f67af64500004a1038c5
BEFORE_DIR = $(BENCH_DIR)/before-$(BEFORE)
bench: test-deps
	cmake -S . -B $(BENCH_DIR) $(CMAKE_FLAGS) -DPENTAGRAM_BUILD_TESTS=OFF -DPENTAGRAM_BUILD_BENCHMARKS=ON
	cmake --build $(BENCH_DIR) -j $(JOBS) --target pentagram pentagram-snapshot pentagram_offscreen_bench pentagram_windowed_bench pentagram_session_bench pentagram_picture_count
	./$(BENCH_DIR)/pentagram_offscreen_bench
	@echo
	./$(BENCH_DIR)/pentagram_offscreen_bench sizes
	@echo
	test -d $(BEFORE_DIR)/src || { mkdir -p $(BEFORE_DIR)/src.new && git archive $(BEFORE) | tar -x -C $(BEFORE_DIR)/src.new && mv $(BEFORE_DIR)/src.new $(BEFORE_DIR)/src; }
	cmake -S $(BEFORE_DIR)/src -B $(BEFORE_DIR)/build $(CMAKE_FLAGS) -DPENTAGRAM_BUILD_TESTS=OFF -DPENTAGRAM_BUILD_BENCHMARKS=OFF
	cmake --build $(BEFORE_DIR)/build -j $(JOBS) --target pentagram-snapshot
	bash bench/instructions_bench.sh $(BEFORE_DIR)/build/pentagram-snapshot ./$(BENCH_DIR)/pentagram-snapshot
	@echo
	bash bench/windowed_bench.sh ./$(BENCH_DIR)/pentagram_windowed_bench ./$(BENCH_DIR)/pentagram_session_bench ./$(BENCH_DIR)/pentagram
	@echo
	bash bench/desktops_bench.sh ./$(BENCH_DIR)/pentagram_windowed_bench ./$(BENCH_DIR)/pentagram_session_bench ./$(BENCH_DIR)/pentagram
	@echo
	bash bench/pace_bench.sh ./$(BENCH_DIR)/pentagram_windowed_bench ./$(BENCH_DIR)/pentagram_picture_count ./$(BENCH_DIR)/pentagram-snapshot
	@echo
	bash bench/wayland_bench.sh ./$(BENCH_DIR)/pentagram_windowed_bench ./$(BENCH_DIR)/pentagram ./$(BENCH_DIR)/pentagram-snapshot

# The long checks: the window stress, a minute's run, memcheck, and the
# unit, image, offscreen and tool tests built with the sanitizers.
stress: test-deps build-with-tests
	$(call results,stress)
	$(MAKE) sanitize SANITIZE_RESULTS=$(RESULTS_DIR)/stress.sanitize.xml
	$(CTEST) --test-dir $(BUILD_DIR) --label-regex stress --output-junit $(RESULTS_DIR)/stress.long.xml

SANITIZE_RESULTS ?= $(RESULTS_DIR)/sanitize.xml
sanitize: test-deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DPENTAGRAM_SANITIZE=ON -DPENTAGRAM_BUILD_TESTS=ON
	cmake --build $(SANITIZE_DIR) -j $(JOBS) --target pentagram_tests pentagram_cairo_tests pentagram_x11_tests pentagram_wayland_unit_tests pentagram_tool_tests pentagram-snapshot
	mkdir -p $(RESULTS_DIR)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		$(CTEST) --test-dir $(SANITIZE_DIR) -j $(JOBS) --label-regex 'unit|tool' --output-junit $(SANITIZE_RESULTS)

build-with-tests:
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) -DPENTAGRAM_BUILD_TESTS=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)

# clang-format and clang-tidy over every source file of the project.
SOURCES = $(shell git ls-files '*.cpp' '*.h')
lint: test-deps build-with-tests
	bash scripts/install-deps.sh --lint
	clang-format --dry-run --Werror $(SOURCES)
	run-clang-tidy -p $(BUILD_DIR) -quiet -j $(JOBS) $(filter %.cpp,$(SOURCES))

# The Debian package, in the build tree.
package: deps
	bash scripts/install-deps.sh --package
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS)
	cmake --build $(BUILD_DIR) --target package

# The README's animation: one turn of the pattern, 72 frames, each drawn by
# the snapshot tool. ImageMagick's own convert, not whatever else has the name.
ANIMATION_FRAMES = $(BUILD_DIR)/animation
animation: deps
	bash scripts/install-deps.sh --animation
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target pentagram-snapshot
	rm -rf $(ANIMATION_FRAMES) && mkdir -p $(ANIMATION_FRAMES)
	for frame in $$(seq -w 1 72); do \
		./$(BUILD_DIR)/pentagram-snapshot --size 240x240 --frames $$frame --out $(ANIMATION_FRAMES)/frame-$$frame.png || exit 1; \
	done
	/usr/bin/convert -delay 4 -loop 0 $(ANIMATION_FRAMES)/frame-*.png -layers Optimize docs/pentagram.gif

# Windows: the program cross-built with mingw-w64 (build-windows/pentagram.exe)
# and its installer (build-windows/pentagram-setup.exe). The icon is drawn
# first by the Linux build's pentagram-icon, from the program's own figure.
WINDOWS_DIR ?= build-windows
WINDOWS_FLAGS = -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
	-DPENTAGRAM_ICON=$(abspath $(WINDOWS_DIR))/pentagram.ico
windows: deps
	bash scripts/install-deps.sh --windows
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target pentagram-icon
	mkdir -p $(WINDOWS_DIR)
	./$(BUILD_DIR)/pentagram-icon $(WINDOWS_DIR)/pentagram.ico
	cmake -S . -B $(WINDOWS_DIR) $(WINDOWS_FLAGS)
	cmake --build $(WINDOWS_DIR) -j $(JOBS)

# The Windows build's tests under Wine: its unit tests through ctest, then
# the program and its installer on a virtual desktop, driven from Linux.
test-windows: windows test-deps
	$(call results,test-windows)
	bash scripts/wine-unit-tests.sh $(WINDOWS_DIR) $(RESULTS_DIR)/test-windows.unit.xml
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) -DPENTAGRAM_BUILD_TESTS=ON -DPENTAGRAM_WINDOWS_DIR=$(abspath $(WINDOWS_DIR))
	cmake --build $(BUILD_DIR) -j $(JOBS) --target pentagram_wine_tests
	$(CTEST) --test-dir $(BUILD_DIR) --label-regex windows --output-junit $(RESULTS_DIR)/test-windows.wine.xml

# clang-tidy over the files only the Windows build compiles, with the cross
# build's compile commands and mingw-w64's headers in place of the system's.
MINGW_CXX_INCLUDE = $(lastword $(wildcard /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++))
compiled_in = $(shell sed -n 's|^  "file": "$(CURDIR)/\(.*\)",\{0,1\}$$|\1|p' $(1)/compile_commands.json | sort -u)
WINDOWS_ONLY_SOURCES = $(filter-out $(call compiled_in,$(BUILD_DIR)),$(call compiled_in,$(WINDOWS_DIR)))
lint-windows: windows build-with-tests
	bash scripts/install-deps.sh --lint
	run-clang-tidy -p $(WINDOWS_DIR) -quiet -j $(JOBS) -extra-arg=--target=x86_64-w64-mingw32 -extra-arg=-nostdinc++ \
		-extra-arg=-isystem$(MINGW_CXX_INCLUDE) -extra-arg=-isystem$(MINGW_CXX_INCLUDE)/x86_64-w64-mingw32 \
		-extra-arg=-isystem/usr/x86_64-w64-mingw32/include $(filter $(SOURCES),$(WINDOWS_ONLY_SOURCES))

# The browser's page: ESLint over its JavaScript (the versions package.json
# pins, installed as package-lock.json has them), flake8 over the tests' and
# tools' Python, and clang-tidy over the files only the web build compiles,
# with its compile commands and emscripten's own headers, for WebAssembly.
EMSCRIPTEN_SYSROOT = /usr/share/emscripten/cache/sysroot
WEB_ONLY_SOURCES = $(filter-out $(call compiled_in,$(BUILD_DIR)),$(call compiled_in,$(WEB_DIR)))
lint-web: web-with-tests build-with-tests
	bash scripts/install-deps.sh --lint
	npm ci --no-audit --no-fund --loglevel=error
	npx --no-install eslint .
	flake8
	run-clang-tidy -p $(WEB_DIR) -quiet -j $(JOBS) -extra-arg=--target=wasm32-unknown-emscripten \
		-extra-arg=--sysroot=$(EMSCRIPTEN_SYSROOT) -extra-arg=-isystem$(EMSCRIPTEN_SYSROOT)/include/compat \
		-extra-arg=-D__SSE__=1 -extra-arg=-D__SSE2__=1 -extra-arg=-D_LIBCPP_ABI_VERSION=2 \
		-extra-arg=-Wno-unused-command-line-argument $(filter $(SOURCES),$(WEB_ONLY_SOURCES))

# The Windows window's frame rate under Wine (figures in BENCHMARKS.md).
bench-windows: windows test-deps
	cmake --build $(BUILD_DIR) -j $(JOBS) --target pentagram_picture_count
	bash bench/windows_bench.sh $(WINDOWS_DIR)/pentagram_win32_bench.exe ./$(BUILD_DIR)/pentagram_picture_count

# The browser: one self-contained page, build-web/pentagram.html, built with
# Debian's emscripten. Its JavaScript tools need Debian's own Node.js modules
# where the node on the PATH is not Debian's.
WEB_DIR ?= build-web
EMSCRIPTEN_ENV = NODE_PATH=/usr/share/nodejs
web:
	bash scripts/install-deps.sh --web
	$(EMSCRIPTEN_ENV) emcmake cmake -S . -B $(WEB_DIR) -DCMAKE_BUILD_TYPE=Release -DPENTAGRAM_BUILD_TESTS=OFF \
		-DPENTAGRAM_BUILD_BENCHMARKS=OFF
	$(EMSCRIPTEN_ENV) cmake --build $(WEB_DIR) -j $(JOBS)

# The web build with its unit tests (under Node.js) and the benchmark's page,
# then the page in headless Chromium from the Linux build's ctest.
web-with-tests:
	bash scripts/install-deps.sh --web
	$(EMSCRIPTEN_ENV) emcmake cmake -S . -B $(WEB_DIR) -DCMAKE_BUILD_TYPE=Release -DPENTAGRAM_BUILD_TESTS=ON \
		-DPENTAGRAM_BUILD_BENCHMARKS=ON
	$(EMSCRIPTEN_ENV) cmake --build $(WEB_DIR) -j $(JOBS)

test-web: test-deps web-with-tests
	$(call results,test-web)
	$(CTEST) --test-dir $(WEB_DIR) --output-junit $(RESULTS_DIR)/test-web.unit.xml
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) -DPENTAGRAM_BUILD_TESTS=ON -DPENTAGRAM_WEB_DIR=$(abspath $(WEB_DIR))
	cmake --build $(BUILD_DIR) -j $(JOBS) --target pentagram-snapshot
	$(CTEST) --test-dir $(BUILD_DIR) --label-regex web --output-junit $(RESULTS_DIR)/test-web.browser.xml

# The page's frame rate beside the native offscreen frame's, its pictures a
# second, start to the first ratio title, click to the end, and its size.
bench-web: web-with-tests
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target pentagram-snapshot
	/usr/bin/python3 bench/web_bench.py $(WEB_DIR) ./$(BUILD_DIR)/pentagram-snapshot

# ARM: the program cross-built for arm64 with Debian's own tools
# (cmake/aarch64-linux-gnu.cmake), with its NEON row kernels: build-arm64/
# holds pentagram, the snapshot tool and pentagram_<version>_arm64.deb.
ARM64_DIR ?= build-arm64
ARM64_FLAGS = -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/aarch64-linux-gnu.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo
# What the arm64 programs run under here: a Raspberry Pi 4's processor.
ARM64_EMULATOR = qemu-aarch64 -cpu cortex-a72
arm64:
	bash scripts/install-deps.sh --arm64
	cmake -S . -B $(ARM64_DIR) $(ARM64_FLAGS) -DPENTAGRAM_BUILD_TESTS=ON -DPENTAGRAM_BUILD_BENCHMARKS=OFF
	cmake --build $(ARM64_DIR) -j $(JOBS)
	cd $(ARM64_DIR) && cpack -G DEB >/dev/null

# Its unit tests and package under qemu-user (the kernels bit for bit, the
# frame, titles and form), the definitions chosen when the environment says
# so, its frames drawn and titled as the host's, and the arm64 program on
# the host's desktops: Xvfb with openbox, with and without MIT-SHM, and
# headless sway.
ARM64_DESKTOP_TESTS = DisplayTest.*/(TrueColour24|WithoutSharedMemory)|EnvironmentTest.TheTitleHasTheLocalesDecimalSeparator|CompositorTest.ComesUpMaximisedSharp.*/sway
test-arm64: arm64 test-deps build-with-tests
	$(call results,test-arm64)
	$(CTEST) --test-dir $(ARM64_DIR) -j $(JOBS) --output-junit $(RESULTS_DIR)/test-arm64.unit.xml
	PENTAGRAM_NO_SIMD=1 $(CTEST) --test-dir $(ARM64_DIR) -R FastestKernels --output-junit $(RESULTS_DIR)/test-arm64.definitions.xml
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) -DPENTAGRAM_BUILD_TESTS=ON -DPENTAGRAM_ARM64_DIR=$(abspath $(ARM64_DIR))
	$(CTEST) --test-dir $(BUILD_DIR) --label-regex arm64 --output-junit $(RESULTS_DIR)/test-arm64.frames.xml
	PENTAGRAM_PROGRAM=$(abspath $(ARM64_DIR))/pentagram PENTAGRAM_EMULATOR="$(ARM64_EMULATOR)" \
		$(CTEST) --test-dir $(BUILD_DIR) -R '$(ARM64_DESKTOP_TESTS)' --output-junit $(RESULTS_DIR)/test-arm64.desktop.xml

# The snapshot tool's frames a second under qemu with the NEON kernels and
# with the definitions alone (BENCHMARKS.md).
bench-arm64: arm64
	bash bench/arm64_bench.sh $(ARM64_DIR)/pentagram-snapshot $(ARM64_EMULATOR)

# clang-tidy over the files only the arm64 build compiles (the NEON
# kernels), with its compile commands, for AArch64.
ARM64_ONLY_SOURCES = $(filter-out $(call compiled_in,$(BUILD_DIR)),$(call compiled_in,$(ARM64_DIR)))
lint-arm64: arm64 build-with-tests
	bash scripts/install-deps.sh --lint
	run-clang-tidy -p $(ARM64_DIR) -quiet -j $(JOBS) -extra-arg=--target=aarch64-linux-gnu \
		$(filter $(SOURCES),$(ARM64_ONLY_SOURCES))

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
	rm -rf $(BUILD_DIR) $(WINDOWS_DIR) $(WEB_DIR) $(BENCH_DIR) $(SANITIZE_DIR) $(ARM64_DIR) node_modules
