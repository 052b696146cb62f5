# Cross-building for 64-bit ARM Linux (a Raspberry Pi, an ARM laptop) with
# Debian's own tools: its cross compiler, and the arm64 libraries installed
# beside the amd64 ones (multiarch), which the library architecture finds
# in /usr/lib/aarch64-linux-gnu and their pkg-config files through the
# cross pkg-config. Programs built here run under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(PKG_CONFIG_EXECUTABLE aarch64-linux-gnu-pkg-config CACHE FILEPATH "The cross pkg-config")
# The Raspberry Pi 4's processor: what the tests and the benchmark run as.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64;-cpu;cortex-a72)
# Build tools (wayland-scanner) are the host's.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
