#!/usr/bin/env bash
# The arm64 snapshot tool, under qemu-user, draws and titles every frame as
# the host's does, bit for bit: with its NEON kernels, and with the
# definitions alone (PENTAGRAM_NO_SIMD), at sizes a window has, through a
# whole turn of the figure.
#   arm64_frames_test.sh HOST_SNAPSHOT ARM64_SNAPSHOT EMULATOR...
set -euo pipefail

host=$1
arm64=$2
emulator=("${@:3}")
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A maximised window's size for a few frames (each digest reads every
# pixel under the emulator), smaller ones for a whole turn and one more.
for case in 1920x1080:24 640x400:361 300x500:361 33x17:361; do
    size=${case%:*}
    frames=${case#*:}
    expected=$("$host" --size "$size" --frames "$frames" --digests)
    [[ $(wc -l <<<"$expected") -eq $frames ]] || fail "the host's tool gave no frame for each of $frames at $size"
    for definitions in 0 1; do
        got=$(PENTAGRAM_NO_SIMD=$definitions "${emulator[@]}" "$arm64" --size "$size" --frames "$frames" --digests)
        if [[ $got != "$expected" ]]; then
            fail "at $size, PENTAGRAM_NO_SIMD=$definitions: the first frame that differs:" \
                "$(diff <(echo "$expected") <(echo "$got") | head -n 3 | tr '\n' ' ')"
        fi
    done
done

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "1 passed, 0 failed"
