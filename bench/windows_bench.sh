#!/usr/bin/env bash
# The Windows program's frames per second under Wine at 1920 x 1080, on an
# Xvfb with openbox that this script starts and stops: the window showing
# only the changed tiles against every frame whole, interleaved over several
# rounds in one run; the table gives medians and their ratio. While the
# changed tiles are shown, the pictures that reach the X server a second
# are counted (DamageNotify), with the X server's share of a core. With
# WINDOWS_BEFORE naming an earlier build's benchmark, its rows come beside
# these, measured in the same run.
#
#   windows_bench.sh WIN32_BENCH.exe PICTURE_COUNT
set -euo pipefail
bench=$1
count=$2
rounds=${ROUNDS:-5}
frames=${FRAMES:-5000}

source "$(dirname "$0")/virtual_desktop.sh"
export WINEPREFIX=$scratch/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k >/dev/null 2>&1 || true; stop_desktops' EXIT
start_desktop 1920x1080x24 "" openbox
export DISPLAY=$started
server=${pids[-2]}
wineboot -i </dev/null >/dev/null 2>&1

builds=(now)
declare -A exes=([now]=$bench)
if [[ -n ${WINDOWS_BEFORE:-} ]]; then
    builds=(before now)
    exes[before]=$WINDOWS_BEFORE
fi
for round in $(seq "$rounds"); do
    for build in "${builds[@]}"; do
        for way in changed whole; do
            if [[ $way == changed ]]; then
                "$count" "$server" 2 >"$scratch/counted" &
                counter=$!
            fi
            wine "${exes[$build]}" "$way" "$frames" </dev/null | awk '{print $1}' >>"$scratch/$build-$way"
            if [[ $way == changed ]]; then
                wait "$counter"
                read -r pictures cpu _ <"$scratch/counted"
                echo "$pictures" >>"$scratch/$build-pictures"
                echo "$cpu" >>"$scratch/$build-cpu"
            fi
        done
    done
done
source "$(dirname "$0")/statistics.sh"
echo "under Wine $(wine --version), 1920x1080 under Xvfb+openbox, $rounds interleaved rounds of $frames frames; medians"
printf '%-8s %-20s %10s %12s %10s\n' build way "frames/s" "pictures/s" "X server"
for build in "${builds[@]}"; do
    changed=$(median <"$scratch/$build-changed")
    whole=$(median <"$scratch/$build-whole")
    printf '%-8s %-20s %10.1f %12s %9s%%\n' "$build" "changed tiles" "$changed" "$(median <"$scratch/$build-pictures")" \
        "$(median <"$scratch/$build-cpu")"
    printf '%-8s %-20s %10.1f\n' "$build" "every frame whole" "$whole"
    printf '%-8s %-20s %9sx\n' "$build" "changed/whole" "$(ratio "$changed" "$whole")"
done
