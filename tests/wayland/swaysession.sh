#!/usr/bin/env bash
# A headless sway for the Wayland tests, started once per test run.
#
#   swaysession.sh start <dir> [<WxH>]
#                                starts it and writes <dir>/env (WAYLAND_DISPLAY and
#                                SWAYSOCK as absolute paths, its pid and runtime folder);
#                                with a size, a second output of that size right of the first
#   swaysession.sh stop <dir>    stops it and removes its runtime folder
#
# sway refuses to run as root: as root it runs as nobody, in a private 0700 runtime
# folder owned by nobody (root's clients connect all the same). Without Xwayland it
# takes no X display number that other tests may be using.
set -euo pipefail

command=$1
dir=$2
second_output=${3:-}
env_file="$dir/env"
nobody=65534
output_size=1280x800

stop() {
    [ -f "$env_file" ] || return 0
    # shellcheck disable=SC1090
    source "$env_file"
    if kill "$SWAY_PID" 2>/dev/null; then
        for _ in $(seq 50); do
            kill -0 "$SWAY_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$SWAY_PID" 2>/dev/null || true
    fi
    rm -rf "$SWAY_RUNTIME"
    rm -f "$env_file"
}

start() {
    stop # one a failed run left behind
    mkdir -p "$dir"
    local runtime
    runtime="$(mktemp -d /tmp/kliqora-sway.XXXXXX)"
    local as_user=()
    if [ "$(id -u)" -eq 0 ]; then
        chown "$nobody:$nobody" "$runtime"
        as_user=(setpriv --reuid=$nobody --regid=$nobody --clear-groups)
    fi
    chmod 700 "$runtime"
    cat >"$runtime/config" <<CONFIG
xwayland disable
output HEADLESS-1 mode $output_size position 0 0
focus_follows_mouse no
default_border none
# Keys a user's configuration holds: our hotkeys must report them as taken.
set \$mod Mod4
bindsym \$mod+Return nop taken-by-the-configuration
bindsym --release Ctrl+Shift+k nop taken-by-the-configuration
mode "resize" {
    bindsym F9 nop only-in-resize-mode
}
CONFIG
    chmod 644 "$runtime/config"

    local started
    started=$(date +%s%N)
    setsid env -i PATH="$PATH" HOME="$runtime" XDG_RUNTIME_DIR="$runtime" \
        WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        "${as_user[@]}" sway -c "$runtime/config" >"$dir/sway.log" 2>&1 </dev/null &
    local pid=$!
    local ipc=""
    for _ in $(seq 200); do
        ipc=$(find "$runtime" -maxdepth 1 -name 'sway-ipc.*.sock' 2>/dev/null | head -n1)
        [ -n "$ipc" ] && [ -S "$runtime/wayland-1" ] && break
        kill -0 $pid 2>/dev/null || break
        sleep 0.02
    done
    if [ -z "$ipc" ] || [ ! -S "$runtime/wayland-1" ]; then
        echo "sway did not start; its log:" >&2
        cat "$dir/sway.log" >&2
        kill $pid 2>/dev/null || true
        rm -rf "$runtime"
        return 1
    fi
    if [ -n "$second_output" ]; then
        SWAYSOCK="$ipc" swaymsg -q create_output
        SWAYSOCK="$ipc" swaymsg -q output HEADLESS-2 mode "$second_output" position "${output_size%x*}" 0
    fi
    printf 'WAYLAND_DISPLAY=%s\nSWAYSOCK=%s\nSWAY_PID=%s\nSWAY_RUNTIME=%s\n' \
        "$runtime/wayland-1" "$ipc" "$pid" "$runtime" >"$env_file"
    echo "headless sway ready in $((($(date +%s%N) - started) / 1000000)) ms"
}

case "$command" in
start) start ;;
stop) stop ;;
*)
    echo "usage: $0 start|stop <dir>" >&2
    exit 2
    ;;
esac
