#!/usr/bin/env bash
# A headless mutter for the Wayland tests, started once per test run, on a session
# bus of its own with PipeWire (mutter's screen streams need it).
#
#   muttersession.sh start <dir>   starts it and writes <dir>/env (WAYLAND_DISPLAY as an
#                                  absolute path, DBUS_SESSION_BUS_ADDRESS, the pids and
#                                  its runtime folder)
#   muttersession.sh stop <dir>    stops it and removes its runtime folder
set -euo pipefail

command=$1
dir=$2
env_file="$dir/env"
output_size=1280x800
display_name=wayland-mutter

stop() {
    [ -f "$env_file" ] || return 0
    # shellcheck disable=SC1090
    source "$env_file"
    for pid in $MUTTER_PID $PIPEWIRE_PID $BUS_PID; do
        kill "$pid" 2>/dev/null || continue
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null || true
    done
    rm -rf "$MUTTER_RUNTIME"
    rm -f "$env_file"
}

# Runs a program of the session in the background, with only the session's environment.
# Its settings come from a file of the runtime folder, not from the user's own.
run_in_session() {
    local log=$1
    shift
    setsid env -i PATH="$PATH" HOME="$runtime" XDG_RUNTIME_DIR="$runtime" \
        XDG_CONFIG_HOME="$runtime" GSETTINGS_BACKEND=keyfile \
        DBUS_SESSION_BUS_ADDRESS="$bus" "$@" >"$dir/$log" 2>&1 </dev/null &
}

start() {
    stop # one a failed run left behind
    mkdir -p "$dir"
    runtime="$(mktemp -d /tmp/kliqora-mutter.XXXXXX)"
    chmod 700 "$runtime"
    local started
    started=$(date +%s%N)
    local bus_info
    bus_info=$(env -i PATH="$PATH" HOME="$runtime" XDG_RUNTIME_DIR="$runtime" \
        dbus-daemon --session --fork --print-address=1 --print-pid=1)
    bus=$(sed -n 1p <<<"$bus_info")
    local bus_pid
    bus_pid=$(sed -n 2p <<<"$bus_info")
    run_in_session pipewire.log pipewire
    local pipewire_pid=$!
    run_in_session mutter.log mutter --headless --virtual-monitor "$output_size" --wayland \
        --no-x11 --wayland-display="$display_name"
    local pid=$!
    # Ready when its remote desktop is on the bus and its display takes clients.
    local ready=""
    for _ in $(seq 250); do
        if [ -S "$runtime/$display_name" ] &&
            DBUS_SESSION_BUS_ADDRESS="$bus" dbus-send --session --print-reply \
                --dest=org.freedesktop.DBus / org.freedesktop.DBus.GetNameOwner \
                string:org.gnome.Mutter.RemoteDesktop >/dev/null 2>&1; then
            ready=yes
            break
        fi
        kill -0 $pid 2>/dev/null || break
        sleep 0.02
    done
    printf 'WAYLAND_DISPLAY=%s\nDBUS_SESSION_BUS_ADDRESS=%s\nMUTTER_PID=%s\nPIPEWIRE_PID=%s\nBUS_PID=%s\nMUTTER_RUNTIME=%s\n' \
        "$runtime/$display_name" "$bus" "$pid" "$pipewire_pid" "$bus_pid" "$runtime" >"$env_file"
    if [ -z "$ready" ]; then
        echo "mutter did not start; its log:" >&2
        cat "$dir/mutter.log" >&2
        stop
        return 1
    fi
    echo "headless mutter ready in $((($(date +%s%N) - started) / 1000000)) ms"
}

case "$command" in
start) start ;;
stop) stop ;;
*)
    echo "usage: $0 start|stop <dir>" >&2
    exit 2
    ;;
esac
