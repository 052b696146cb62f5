#!/usr/bin/env bash
# Runs the Windows build's tests through ctest, each under Wine (the build's
# cross-compiling emulator). Wine's helper processes would keep ctest's
# output pipes open until they exit, seconds after each test: its server is
# started first, persistent, and the prefix booted, both with their input
# and output elsewhere, and the server is stopped at the end.
#
#   wine-unit-tests.sh WINDOWS_BUILD_DIR [JUNIT_FILE]
set -euo pipefail
build=$(cd "$1" && pwd)
junit=()
[[ -n "${2:-}" ]] && junit=(--output-junit "$2")
export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k </dev/null >/dev/null 2>&1 || true' EXIT
wineboot -i </dev/null >/dev/null 2>&1
ctest --test-dir "$build" --output-on-failure --test-output-size-passed 1048576 "${junit[@]}"
