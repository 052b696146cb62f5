#!/usr/bin/env bash
# Instructions a frame, counted by callgrind, which unlike times hold still
# on a shared machine: the snapshot tool run for 101 frames and for 1, the
# difference over 100, so start-up and the PNG fall out. Each size is counted
# for an earlier build of the snapshot tool and for this one.
#
#   instructions_bench.sh BEFORE_SNAPSHOT NOW_SNAPSHOT
set -euo pipefail
before=$1
now=$2
sizes=(1024x740 1920x1080)

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
source "$(dirname "$0")/statistics.sh"

# Instructions the whole run of SNAPSHOT took for SIZE and FRAMES.
collected() {
    local out=$scratch/callgrind.out log=$scratch/log
    if ! valgrind --tool=callgrind --callgrind-out-file="$out" \
        "$1" --size "$2" --frames "$3" --out "$scratch/frame.png" >/dev/null 2>"$log"; then
        echo "callgrind could not run $1:" >&2
        cat "$log" >&2
        exit 1
    fi
    sed -n 's/^==[0-9]*== Collected : \([0-9]*\)$/\1/p' "$log"
}

# Instructions a frame of SNAPSHOT at SIZE.
per_frame() {
    local many one
    many=$(collected "$1" "$2" 101)
    one=$(collected "$1" "$2" 1)
    echo $(((many - one) / 100))
}

echo "instructions a frame, offscreen: callgrind, (101 frames - 1 frame) / 100"
echo
printf '%-11s %14s %14s %12s\n' size before now before/now
for size in "${sizes[@]}"; do
    old=$(per_frame "$before" "$size")
    new=$(per_frame "$now" "$size")
    printf '%-11s %14d %14d %11sx\n' "$size" "$old" "$new" "$(ratio "$old" "$new")"
done
