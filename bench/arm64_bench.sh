#!/usr/bin/env bash
# The arm64 snapshot tool's frames a second at 1920 x 1080 under qemu-user,
# with its NEON kernels and with the one-pixel definitions alone
# (PENTAGRAM_NO_SIMD), in interleaved rounds; medians and their ratio.
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
