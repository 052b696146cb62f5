#!/usr/bin/env bash
# The program on a desktop of 1920 x 1080 under Xvfb with openbox, which
# this script starts and stops. First frames per second: the program's own
# loop beside the plain ways, interleaved over several rounds in one run;
# the table gives medians and ratios. Then, given the session benchmark and
# the program, start-up, click-to-exit, memory and minimised CPU.
#
#   windowed_bench.sh WINDOWED_BENCH [SESSION_BENCH PROGRAM]
set -euo pipefail
bench=$1
session=${2:-}
program=${3:-}
long_run=${LONG_RUN:-60}
rounds=${ROUNDS:-5}
frames=${FRAMES:-300}
modes=(program plain-default plain-shm floor)

scratch=$(mktemp -d)
exec {fd}>"$scratch/display"
Xvfb -displayfd "$fd" -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1 &
server=$!
trap 'kill $wm $server 2>/dev/null || true; rm -rf "$scratch"' EXIT
for _ in $(seq 200); do [[ -s $scratch/display ]] && break; sleep 0.05; done
export DISPLAY=:$(head -n1 "$scratch/display")
DISPLAY=$DISPLAY openbox --startup "touch $scratch/ready" >/dev/null 2>&1 &
wm=$!
for _ in $(seq 200); do [[ -e $scratch/ready ]] && break; sleep 0.05; done

for round in $(seq "$rounds"); do
    for mode in "${modes[@]}"; do
        "$bench" "$mode" "$frames" >>"$scratch/$mode"
    done
done

source "$(dirname "$0")/statistics.sh"
echo "windowed 1920x1080 under Xvfb+openbox, $rounds interleaved rounds of $frames frames; medians"
printf '%-15s %10s %14s\n' "way" "frames/s" "program/this"
ours=$(median <"$scratch/program")
for mode in "${modes[@]}"; do
    m=$(median <"$scratch/$mode")
    printf '%-15s %10.1f %13.2fx\n' "$mode" "$m" "$(ratio "$ours" "$m")"
done

if [[ -n $session ]]; then
    echo
    "$session" "$program" "$bench" "$long_run"
fi
