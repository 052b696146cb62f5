#!/usr/bin/env bash
# The program on other displays and under other window managers, each
# started and stopped here, at 1920 x 1080:
#  - frames per second on displays of depth 16, 24 and 30 and on a server
#    without MIT-SHM (as over ssh -X), interleaved over several rounds, each
#    beside the 24-bit MIT-SHM figure of the same run;
#  - under each window manager: frames per second, start to first ratio
#    title, and the CPU share while minimised.
#
#   desktops_bench.sh WINDOWED_BENCH SESSION_BENCH PROGRAM
set -euo pipefail
bench=$1
session=$2
program=$3
rounds=${ROUNDS:-5}
frames=${FRAMES:-20000}

source "$(dirname "$0")/virtual_desktop.sh"
source "$(dirname "$0")/statistics.sh"

echo "displays at 1920x1080 under openbox, $rounds interleaved rounds of $frames frames; medians"
printf '%-28s %10s %16s\n' "display" "frames/s" "this/24-bit shm"
names=(depth24-shm depth24-no-shm depth30 depth16)
declare -A screens=([depth24-shm]=1920x1080x24 [depth24-no-shm]=1920x1080x24 [depth30]=1920x1080x30
    [depth16]=1920x1080x16)
declare -A extras=([depth24-shm]="" [depth24-no-shm]="-extension MIT-SHM" [depth30]="" [depth16]="")
declare -A displays
for name in "${names[@]}"; do
    start_desktop "${screens[$name]}" "${extras[$name]}" openbox
    displays[$name]=$started
done
for round in $(seq "$rounds"); do
    for name in "${names[@]}"; do
        DISPLAY=${displays[$name]} "$bench" program "$frames" >>"$scratch/$name"
    done
done
base=$(median <"$scratch/depth24-shm")
for name in "${names[@]}"; do
    m=$(median <"$scratch/$name")
    printf '%-28s %10.1f %15sx\n' "$name" "$m" "$(ratio "$m" "$base")"
done

echo
echo "window managers at 1920x1080x24: frames/s (median of 3 runs of $frames frames), start to first ratio"
echo "title (median of 3 starts), CPU while minimised (5 s)"
printf '%-12s %10s %12s %16s\n' "manager" "frames/s" "start ms" "minimised CPU %"
for wm in openbox xfwm4 fluxbox icewm metacity i3 twm kwin_x11 "mutter --x11"; do
    start_desktop 1920x1080x24 "" "$wm"
    display=$started
    fps=$(for _ in 1 2 3; do DISPLAY=$display "$bench" program "$frames"; done | median)
    read -r start minimised < <(DISPLAY=$display "$session" --brief "$program")
    # i3 has no minimised state: the figure the program shows there is not a rest.
    [[ $wm == i3 ]] && minimised="n/a"
    printf '%-12s %10.1f %12s %16s\n' "${wm%% *}" "$fps" "$start" "$minimised"
    stop_last_desktop
done
