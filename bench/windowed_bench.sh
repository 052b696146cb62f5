#!/usr/bin/env bash
# The program on desktops under Xvfb with openbox, which this script starts
# and stops. First, at 1920 x 1080, frames per second: the program's own
# loop beside the plain ways, interleaved over several rounds in one run;
# the table gives medians and ratios. Then the program's window at 1920 x
# 1080 and at 7680 x 4320, interleaved: frames per second and peak resident
# memory. Then, given the session benchmark and the program, start-up,
# click-to-exit, memory and minimised CPU.
#
#   windowed_bench.sh WINDOWED_BENCH [SESSION_BENCH PROGRAM]
set -euo pipefail
bench=$1
session=${2:-}
program=${3:-}
long_run=${LONG_RUN:-60}
rounds=${ROUNDS:-5}
frames=${FRAMES:-3000}
modes=(program plain-default plain-shm floor)
sizes=(1920x1080 7680x4320)

source "$(dirname "$0")/virtual_desktop.sh"
declare -A desktops
for size in "${sizes[@]}"; do
    start_desktop "${size}x24" "" openbox
    desktops[$size]=$started
done
export DISPLAY=${desktops[1920x1080]}

# One windowed run's frames a second, then its peak resident memory in kB.
run_measured() {
    python3 -c 'import resource, subprocess, sys
subprocess.run(sys.argv[1:], check=True)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)' "$@"
}

# The program's own loop at 1920 x 1080 is the first of the window's sizes.
for round in $(seq "$rounds"); do
    for size in "${sizes[@]}"; do
        DISPLAY=${desktops[$size]} run_measured "$bench" program "$frames" >"$scratch/run"
        sed -n 1p "$scratch/run" >>"$scratch/window-$size"
        sed -n 2p "$scratch/run" >>"$scratch/window-kb-$size"
    done
    for mode in "${modes[@]:1}"; do
        "$bench" "$mode" "$frames" >>"$scratch/$mode"
    done
done
cp "$scratch/window-1920x1080" "$scratch/program"

source "$(dirname "$0")/statistics.sh"
echo "windowed 1920x1080 under Xvfb+openbox, $rounds interleaved rounds of $frames frames; medians"
printf '%-15s %10s %14s\n' "way" "frames/s" "program/this"
ours=$(median <"$scratch/program")
for mode in "${modes[@]}"; do
    m=$(median <"$scratch/$mode")
    printf '%-15s %10.1f %13.2fx\n' "$mode" "$m" "$(ratio "$ours" "$m")"
done

echo
echo "the program's window by desktop size under Xvfb+openbox, the same rounds; medians"
printf '%-12s %10s %14s %18s\n' "desktop" "frames/s" "1080p/this" "peak resident MB"
base=$(median <"$scratch/window-1920x1080")
for size in "${sizes[@]}"; do
    m=$(median <"$scratch/window-$size")
    printf '%-12s %10.1f %13.2fx %18.1f\n' "$size" "$m" "$(ratio "$base" "$m")" \
        "$(ratio "$(median <"$scratch/window-kb-$size")" 1024)"
done

if [[ -n $session ]]; then
    echo
    "$session" "$program" "$bench" "$long_run"
fi
