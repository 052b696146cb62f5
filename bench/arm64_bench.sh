#!/usr/bin/env bash
# The arm64 snapshot tool's frames a second at 1920 x 1080 under qemu-user,
# with its NEON kernels and with the one-pixel definitions alone
# (PENTAGRAM_NO_SIMD), in interleaved rounds; medians and their ratio.
# Then the instructions a frame each path executes, which unlike qemu's
# times do not depend on how qemu emulates vector arithmetic: qemu runs
# one instruction a block and logs each block it executes.
#   arm64_bench.sh ARM64_SNAPSHOT EMULATOR...
set -euo pipefail
# shellcheck source=bench/statistics.sh
source "$(dirname "$0")/statistics.sh"

snapshot=$1
emulator=("${@:2}")
rounds=${ROUNDS:-5}
frames=2000
rate() {
    local start end
    start=$(date +%s%N)
    PENTAGRAM_NO_SIMD=$1 "${emulator[@]}" "$snapshot" --size 1920x1080 --frames "$frames" >/dev/null
    end=$(date +%s%N)
    awk -v n=$frames -v ns=$((end - start)) 'BEGIN {printf "%.0f", n / (ns / 1e9)}'
}
neon=()
definitions=()
for _ in $(seq "$rounds"); do
    neon+=("$(rate 0)")
    definitions+=("$(rate 1)")
done
neon_median=$(printf '%s\n' "${neon[@]}" | median)
definitions_median=$(printf '%s\n' "${definitions[@]}" | median)
echo "the arm64 snapshot tool under ${emulator[*]} at 1920x1080, $rounds interleaved rounds of $frames frames; medians"
printf '%-40s %10s\n' "NEON kernels, frames/s" "$neon_median"
printf '%-40s %10s\n' "one-pixel definitions, frames/s" "$definitions_median"
printf '%-40s %9sx\n' "NEON / definitions" "$(ratio "$neon_median" "$definitions_median")"
echo "rounds (NEON, definitions): ${neon[*]} / ${definitions[*]}"

# Instructions from the end of frame 2 to the end of frame 12, a tenth.
instructions() {
    local frames counts=()
    for frames in 2 12; do
        counts+=("$(PENTAGRAM_NO_SIMD=$1 "${emulator[@]}" -singlestep -d exec,nochain -D /dev/stdout \
            "$snapshot" --size 1920x1080 --frames "$frames" 2>/dev/null | grep -c '^Trace')")
    done
    echo $(((counts[1] - counts[0]) / 10))
}
neon_instructions=$(instructions 0)
definitions_instructions=$(instructions 1)
printf '%-40s %10s\n' "NEON kernels, instructions a frame" "$neon_instructions"
printf '%-40s %10s\n' "definitions, instructions a frame" "$definitions_instructions"
printf '%-40s %9sx\n' "definitions / NEON, instructions" "$(ratio "$definitions_instructions" "$neon_instructions")"
