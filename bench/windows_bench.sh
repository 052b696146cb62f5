#!/usr/bin/env bash
# The Windows program's frames per second under Wine at 1920 x 1080, on an
# Xvfb with openbox that this script starts and stops: the window showing
# only the changed tiles against every frame whole, interleaved over several
# rounds in one run; the table gives medians and their ratio.
#
#   windows_bench.sh WIN32_BENCH.exe
set -euo pipefail
bench=$1
rounds=${ROUNDS:-5}
frames=${FRAMES:-300}

source "$(dirname "$0")/virtual_desktop.sh"
export WINEPREFIX=$scratch/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k >/dev/null 2>&1 || true; stop_desktops' EXIT
start_desktop 1920x1080x24 "" openbox
export DISPLAY=$started
wineboot -i </dev/null >/dev/null 2>&1

for round in $(seq "$rounds"); do
    for way in changed whole; do
        wine "$bench" "$way" "$frames" </dev/null | awk '{print $1}' >>"$scratch/$way"
    done
done
source "$(dirname "$0")/statistics.sh"
changed=$(median <"$scratch/changed")
whole=$(median <"$scratch/whole")
echo "under Wine $(wine --version), 1920x1080 under Xvfb+openbox, $rounds interleaved rounds of $frames frames; medians"
printf '%-24s %10s\n' "way" "frames/s"
printf '%-24s %10.1f\n' "changed tiles" "$changed" "every frame whole" "$whole"
printf '%-24s %9sx\n' "changed/whole" "$(ratio "$changed" "$whole")"
