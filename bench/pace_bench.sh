#!/usr/bin/env bash
# The X11 window at its display's pace, at 1920 x 1080 under openbox with and
# without MIT-SHM (as over ssh -X) and under mutter (GNOME on X11,
# compositing), each on an Xvfb that this script starts and stops, whose
# Present extension ticks at 60 Hz. For each, the medians of ROUNDS runs:
# the program's frames per second, beside the offscreen frame at the
# window's size in the same run; the pictures that reach the window a
# second, as a compositor counts them (DamageNotify); the X server's share
# of a core meanwhile.
#
#   pace_bench.sh WINDOWED_BENCH PICTURE_COUNT SNAPSHOT
set -euo pipefail
bench=$1
count=$2
snapshot=$3
rounds=${ROUNDS:-5}
frames=${FRAMES:-30000}

source "$(dirname "$0")/virtual_desktop.sh"
source "$(dirname "$0")/statistics.sh"

echo "the X11 window at 1920x1080x24, $rounds runs of $frames frames each; medians; pictures counted over 2 s"
printf '%-20s %10s %10s %9s %11s %10s\n' desktop "frames/s" offscreen "/offscr" "pictures/s" "X server"
for setup in "openbox|" "openbox-no-shm|-extension MIT-SHM" "mutter|"; do
    IFS='|' read -r name extra <<<"$setup"
    wm=openbox
    [[ $name == mutter ]] && wm="mutter --x11"
    start_desktop 1920x1080x24 "$extra" "$wm"
    server=${pids[-2]}
    : >"$scratch/fps"
    : >"$scratch/pictures"
    : >"$scratch/cpu"
    for _ in $(seq "$rounds"); do
        DISPLAY=$started "$count" "$server" 2 >"$scratch/counted" &
        counter=$!
        DISPLAY=$started "$bench" program "$frames" >>"$scratch/fps"
        wait "$counter"
        read -r pictures cpu size <"$scratch/counted"
        echo "$pictures" >>"$scratch/pictures"
        echo "$cpu" >>"$scratch/cpu"
    done
    fps=$(median <"$scratch/fps")
    solo=$(offscreen_rate "$snapshot" "$size")
    printf '%-20s %10.1f %10s %8sx %11s %9s%%\n' "$name" "$fps" "$solo" "$(ratio "$fps" "$solo")" \
        "$(median <"$scratch/pictures")" "$(median <"$scratch/cpu")"
    stop_last_desktop
done
