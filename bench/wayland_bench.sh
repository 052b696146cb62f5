#!/usr/bin/env bash
# The program natively on Wayland under the compositors of the desktops,
# each headless at 1920 x 1080, started and stopped here as the tests'
# unprivileged user (sway refuses to run as root): sway, GNOME's mutter, and
# KDE's kwin at 100 % and at 150 %, as Debian ships them. For each:
#  - frames per second (median of ROUNDS runs of the program's own loop), and
#    the compositor's share of a core meanwhile;
#  - the maximised window's buffer, and the buffers committed and frame
#    callbacks answered a second, counted over 3 s from the protocol log of
#    one more run (WAYLAND_DEBUG);
#  - the snapshot tool's offscreen frames per second at the buffer's size, in
#    the same run.
# Then the program natively beside the same program through XWayland, on sway.
# A run is 5000 frames: at several thousand frames a second, runs of 1000
# last a tenth of a second, and the window's start (its buffers, 18 MB each
# at 2880 x 1620, written whole the first time) weighs in the figure.
# With WAYLAND_BEFORE naming an earlier build's tree (its program and its
# windowed benchmark), its rows come beside these, measured in the same run.
#
#   wayland_bench.sh WINDOWED_BENCH PROGRAM SNAPSHOT
set -euo pipefail
bench=$1
program=$2
snapshot=$3
rounds=${ROUNDS:-5}
frames=${FRAMES:-5000}
user=$( [[ $(id -u) -eq 0 ]] && echo pentagram-test || id -un )
source "$(dirname "$0")/statistics.sh"

runtime=$(mktemp -d /tmp/pentagram-wayland-bench-XXXXXX)
chmod 700 "$runtime"
mkdir "$runtime/now"
cp "$bench" "$program" "$runtime/now/"
if [[ -n ${WAYLAND_BEFORE:-} ]]; then
    mkdir "$runtime/before"
    cp "$WAYLAND_BEFORE/pentagram_windowed_bench" "$WAYLAND_BEFORE/pentagram" "$runtime/before/"
fi
# Debian's kwin_wayland carries a file capability, which a process that may
# not gain one cannot run: a copy, of the same name, has none.
cp /usr/bin/kwin_wayland "$runtime/kwin_wayland"
chown -R "$user" "$runtime"
# runuser gives the user's own home, which the tests' user has none of.
as_user() {
    if [[ $(id -u) -eq 0 ]]; then runuser -u "$user" -- env HOME="$HOME" "$@"; else "$@"; fi
}
export XDG_RUNTIME_DIR=$runtime HOME=$runtime
compositor=
group=
# The compositor runs in a session of its own (setsid), under the user's
# runuser: its whole process group goes.
stop_compositor() {
    [[ -n $group ]] && kill -- "-$group" 2>/dev/null || true
    [[ -n $compositor ]] && kill "$compositor" 2>/dev/null || true
    compositor=
    group=
    sleep 0.5
}
trap 'stop_compositor; rm -rf "$runtime"' EXIT

# Starts the compositor named by the first argument, sets WAYLAND_DISPLAY
# to its socket and `process` to the compositor's own pid.
start_compositor() {
    local name=$1 scale=${2:-1}
    rm -f "$runtime"/wayland-* "$runtime"/pentagram-* "$runtime"/sway-ipc.*
    case $name in
        sway)
            printf 'output HEADLESS-1 resolution 1920x1080\nxwayland force\n' >"$runtime/config"
            chown "$user" "$runtime/config"
            WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman as_user setsid sway \
                -c "$runtime/config" >"$runtime/compositor.log" 2>&1 &
            socket=auto ;;
        mutter)
            as_user setsid dbus-run-session -- mutter --headless --wayland --no-x11 --virtual-monitor 1920x1080 \
                --wayland-display pentagram-mutter >"$runtime/compositor.log" 2>&1 &
            socket=pentagram-mutter ;;
        kwin)
            as_user setsid dbus-run-session -- "$runtime/kwin_wayland" --virtual --width 1920 --height 1080 \
                --scale "$scale" --socket pentagram-kwin >"$runtime/compositor.log" 2>&1 &
            socket=pentagram-kwin ;;
    esac
    compositor=$!
    for _ in $(seq 400); do
        if [[ $socket == auto ]]; then
            WAYLAND_DISPLAY=$(cd "$runtime" && compgen -G 'wayland-*' | grep -v lock | head -n1 || true)
        else
            WAYLAND_DISPLAY=$([[ -S $runtime/$socket ]] && echo "$socket" || true)
        fi
        [[ -n $WAYLAND_DISPLAY ]] && break
        sleep 0.05
    done
    export WAYLAND_DISPLAY
    # Up once it answers a client.
    for _ in $(seq 200); do as_user weston-info >/dev/null 2>&1 && break; sleep 0.05; done
    sleep 1
    process=$(pgrep -n -u "$user" -x "${name/kwin/kwin_wayland}" || true)
    if [[ -z $process ]]; then
        echo "$name did not start: $(tail -n 5 "$runtime/compositor.log")" >&2
        exit 1
    fi
    group=$(ps -o pgid= "$process" | tr -d ' ')
}

# User and system ticks the process has used.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# Frames per second of the build's windowed benchmark, ROUNDS runs, and the
# compositor's share of a core over them, as "fps cpu%".
measure() {
    local build=$1 before after start end
    : >"$runtime/fps"
    before=$(ticks "$process")
    start=$(date +%s%N)
    for _ in $(seq "$rounds"); do
        as_user env -u DISPLAY "$runtime/$build/pentagram_windowed_bench" program-wayland "$frames" >>"$runtime/fps"
    done
    end=$(date +%s%N)
    after=$(ticks "$process")
    echo "$(median <"$runtime/fps") $(awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v ns=$((end - start)) \
        'BEGIN {printf "%.0f", 100 * t / hz / (ns / 1e9)}')"
}

# From 4 s of the build's program under WAYLAND_DEBUG, over its last 3 s:
# the window's buffer, and buffers committed and frame callbacks answered a
# second, as "WxH commits callbacks".
protocol() {
    as_user env -u DISPLAY WAYLAND_DEBUG=1 timeout 4 "$runtime/$1/pentagram" 2>"$runtime/protocol" || true
    awk '
        { match($0, /^\[ *[0-9.]+\]/); t = substr($0, 2, RLENGTH - 2) + 0 }
        surface == "" && /wl_compositor@[0-9]+\.create_surface/ { match($0, /wl_surface@[0-9]+/); surface = substr($0, RSTART, RLENGTH) }
        /create_buffer/ { match($0, /wl_buffer@[0-9]+, [0-9]+, [0-9]+, [0-9]+/); split(substr($0, RSTART, RLENGTH), a, /, /); size[a[1]] = a[3] "x" a[4] }
        surface != "" && index($0, "-> " surface ".frame(") { match($0, /wl_callback@[0-9]+/); frame = substr($0, RSTART, RLENGTH) }
        surface != "" && index($0, "-> " surface ".attach(") { match($0, /wl_buffer@[0-9]+/); attached = size[substr($0, RSTART, RLENGTH)]; at[++n] = t }
        frame != "" && index($0, " " frame ".done(") { done[++d] = t; frame = "" }
        { last = t }
        END {
            for (i = 1; i <= n; i++) if (at[i] >= last - 3000) commits++
            for (i = 1; i <= d; i++) if (done[i] >= last - 3000) callbacks++
            printf "%s %.0f %.0f\n", attached, commits / 3, callbacks / 3
        }' "$runtime/protocol"
}

echo "native Wayland, headless at 1920x1080; frames/s the median of $rounds runs of $frames frames"
echo "offscreen: the snapshot tool's frames/s at the buffer's size; commits and callbacks a second over 3 s"
printf '%-12s %-7s %9s %10s %9s %10s %10s %12s %11s\n' compositor build "frames/s" "offscreen" "/offscr" "buffer" \
    "commits/s" "callbacks/s" "compositor"
builds=(now)
if [[ -n ${WAYLAND_BEFORE:-} ]]; then builds=(before now); fi
for setup in "sway 1" "mutter 1" "kwin 1" "kwin 1.5"; do
    read -r name scale <<<"$setup"
    start_compositor "$name" "$scale"
    label=$name
    [[ $name == kwin ]] && label+=$(awk -v s="$scale" 'BEGIN {print " " s * 100 " %"}')
    for build in "${builds[@]}"; do
        read -r buffer commits callbacks <<<"$(protocol "$build")"
        if [[ $build == "${builds[0]}" ]]; then solo=$(offscreen_rate "$snapshot" "$buffer"); fi
        read -r fps cpu <<<"$(measure "$build")"
        printf '%-12s %-7s %9.1f %10s %8sx %10s %10s %12s %11s\n' "$label" "$build" "$fps" "$solo" \
            "$(ratio "$fps" "$solo")" "$buffer" "$commits" "$callbacks" "$cpu %"
        if [[ $build == now && $name == kwin ]]; then eval "kwin_${scale/./_}=$fps"; fi
        label=""
    done
    stop_compositor
done
echo "kwin at 150 % against 100 %: $(ratio "$kwin_1_5" "$kwin_1")x"

echo
start_compositor sway
as_user swaymsg -s "$(compgen -G "$runtime/sway-ipc.*")" exec "printenv DISPLAY > $runtime/display" >/dev/null
for _ in $(seq 200); do [[ -s $runtime/display ]] && break; sleep 0.05; done
display=$(cat "$runtime/display")
: >"$runtime/native"
: >"$runtime/xwayland"
for _ in $(seq "$rounds"); do
    as_user env -u DISPLAY "$runtime/now/pentagram_windowed_bench" program-wayland "$frames" >>"$runtime/native"
    as_user env -u WAYLAND_DISPLAY DISPLAY="$display" "$runtime/now/pentagram_windowed_bench" program "$frames" \
        >>"$runtime/xwayland"
done
native=$(median <"$runtime/native")
xwayland=$(median <"$runtime/xwayland")
echo "headless sway 1.7, 1920x1080, $rounds interleaved rounds of $frames frames; medians"
printf '%-22s %10s\n' "way" "frames/s"
printf '%-22s %10.1f\n' "native Wayland" "$native" "through XWayland" "$xwayland"
printf '%-22s %9sx\n' "native/XWayland" "$(ratio "$native" "$xwayland")"
