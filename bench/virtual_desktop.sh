# Virtual desktops for the benchmark scripts: sourced, not run. Each is an
# Xvfb with a window manager, in a session and home of its own; all of them
# are stopped, and `scratch` (a directory of the script's) removed, on exit.

scratch=$(mktemp -d)
pids=()
stop_desktops() {
    for pid in "${pids[@]}"; do kill -- "-$pid" 2>/dev/null || kill "$pid" 2>/dev/null || true; done
    rm -rf "$scratch"
}
trap stop_desktops EXIT

# Starts Xvfb with the given screen and extra arguments, and a window manager
# on it; sets `started` to the display's name (not printed: a subshell would
# lose the processes to stop).
start_desktop() {
    local screen=$1 extra=$2 wm=$3 fdfile
    fdfile=$(mktemp -p "$scratch")
    exec {fd}>"$fdfile"
    # shellcheck disable=SC2086
    setsid Xvfb -displayfd "$fd" -screen 0 "$screen" -nolisten tcp -noreset $extra >/dev/null 2>&1 &
    pids+=($!)
    exec {fd}>&-
    for _ in $(seq 200); do [[ -s $fdfile ]] && break; sleep 0.05; done
    local display=:$(head -n1 "$fdfile")
    local home
    home=$(mktemp -d -p "$scratch")
    mkdir -p "$home/.config/i3" "$home/.fluxbox"
    printf '# i3 config file (v4)\nfont pango:monospace 8\n' >"$home/.config/i3/config"
    # fluxbox leaves the root window alone (no wallpaper message in front).
    echo 'background: unset' >"$home/.fluxbox/overlay"
    # shellcheck disable=SC2086
    DISPLAY=$display HOME=$home XDG_CONFIG_HOME=$home/.config setsid dbus-run-session -- $wm >/dev/null 2>&1 &
    pids+=($!)
    # Taken over once someone holds the root's redirection; a moment more
    # for the window manager to settle, as a session's autostart would not wait.
    for _ in $(seq 200); do
        DISPLAY=$display xwininfo -root -all 2>/dev/null | grep -q 'child' && break
        sleep 0.05
    done
    sleep 1
    started=$display
}

# Stops the desktop started last.
stop_last_desktop() {
    for pid in "${pids[@]: -2}"; do kill -- "-$pid" 2>/dev/null || true; done
}
