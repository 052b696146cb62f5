#!/usr/bin/env bash
# The program natively on Wayland beside the same program through XWayland,
# on one headless sway at 1920 x 1080 that this script starts and stops,
# interleaved over several rounds; the table gives medians and their ratio.
# sway refuses to run as root: as root, sway and the programs run as the
# tests' unprivileged user.
#
#   wayland_bench.sh WINDOWED_BENCH
set -euo pipefail
bench=$1
rounds=${ROUNDS:-5}
frames=${FRAMES:-300}
user=$( [[ $(id -u) -eq 0 ]] && echo pentagram-test || id -un )

runtime=$(mktemp -d /tmp/pentagram-wayland-bench-XXXXXX)
chown "$user" "$runtime"
chmod 700 "$runtime"
cp "$bench" "$runtime/bench"
printf 'output HEADLESS-1 resolution 1920x1080\nxwayland force\n' >"$runtime/config"
chown "$user" "$runtime/bench" "$runtime/config"
as_user() {
    if [[ $(id -u) -eq 0 ]]; then runuser -u "$user" -- "$@"; else "$@"; fi
}
export XDG_RUNTIME_DIR=$runtime
WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman as_user setsid sway -c "$runtime/config" \
    >"$runtime/sway.log" 2>&1 &
sway=$!
trap 'kill -- -$sway 2>/dev/null || kill $sway 2>/dev/null || true; rm -rf "$runtime"' EXIT
for _ in $(seq 200); do compgen -G "$runtime/sway-ipc.*" >/dev/null && break; sleep 0.05; done
export SWAYSOCK=$(compgen -G "$runtime/sway-ipc.*")
export WAYLAND_DISPLAY=$(cd "$runtime" && compgen -G 'wayland-*' | grep -v lock | head -n1)
# sway's X display, as it tells the programs it starts.
as_user swaymsg exec "printenv DISPLAY > $runtime/display" >/dev/null
for _ in $(seq 200); do [[ -s $runtime/display ]] && break; sleep 0.05; done
display=$(cat "$runtime/display")

for round in $(seq "$rounds"); do
    as_user env -u DISPLAY "$runtime/bench" program-wayland "$frames" >>"$runtime/native"
    as_user env -u WAYLAND_DISPLAY DISPLAY="$display" "$runtime/bench" program "$frames" >>"$runtime/xwayland"
done
source "$(dirname "$0")/statistics.sh"
native=$(median <"$runtime/native")
xwayland=$(median <"$runtime/xwayland")
echo "headless sway 1.7, 1920x1080, $rounds interleaved rounds of $frames frames; medians"
printf '%-22s %10s\n' "way" "frames/s"
printf '%-22s %10.1f\n' "native Wayland" "$native" "through XWayland" "$xwayland"
printf '%-22s %9sx\n' "native/XWayland" "$(ratio "$native" "$xwayland")"
