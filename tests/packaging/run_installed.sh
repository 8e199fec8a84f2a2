#!/usr/bin/env bash
# Runs the programs installed into a scratch root on a private Xvfb: Kliqora shows
# its window with the window class its menu entry names (so docks group it), a
# job starts and stops on its hotkey, and the designer opens a .flw file through
# the command line of its menu entry, as a file manager would start it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/installcommon.sh"
install_into_scratch "$1"

window_wait_s=20

fifo="$root/displayfd"
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 20 display <"$fifo" || fail "Xvfb did not start"
pids=()
# The programs end before their X server, so they do not die of a lost display.
stop_all() {
    [ ${#pids[@]} -eq 0 ] || kill "${pids[@]}" 2>/dev/null || true
    [ ${#pids[@]} -eq 0 ] || wait "${pids[@]}" 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    rm -rf "$root"
}
trap stop_all EXIT

export DISPLAY=":$display" QT_QPA_PLATFORM=xcb
export HOME="$root/home" XDG_CONFIG_HOME="$root/home/.config" XDG_DATA_HOME="$root/home/.local/share"
export XDG_CACHE_HOME="$root/home/.cache" XDG_RUNTIME_DIR="$root/run"
export KLIQORA_UPDATE_SERVER="" # no network from tests
mkdir -p "$HOME/Documents" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# The first visible top-level window of a class, or failure after the wait.
wait_for_window() {
    timeout "$window_wait_s" xdotool search --sync --onlyvisible --classname "^$1\$" | head -n 1
}

window_class() {
    xprop -id "$1" WM_CLASS | sed -n 's/.*= "\([^"]*\)", "\([^"]*\)"/\2/p'
}

(cd "$HOME" && exec "$bin/Kliqora") &
pids+=("$!")
main_window="$(wait_for_window Kliqora)" || fail "Kliqora showed no window"
[ -n "$main_window" ] || fail "Kliqora showed no window"
expected_class="$(desktop_key "$share/applications/kliqora.desktop" StartupWMClass)"
[ "$(window_class "$main_window")" = "$expected_class" ] ||
    fail "window class $(window_class "$main_window"), menu entry says $expected_class"

# The mouse clicker's hotkey starts a job (the window hides) and stops it again.
xdotool key F2
for _ in $(seq 50); do
    xdotool search --onlyvisible --classname '^Kliqora$' >/dev/null || break
    sleep 0.1
done
xdotool search --onlyvisible --classname '^Kliqora$' >/dev/null && fail "F2 started no job"
xdotool key F2
wait_for_window Kliqora >/dev/null || fail "the window did not return when the job stopped"

# An empty flow "Demo": magic, name, description, hotkey, two time stamps, no operations.
flow="$HOME/Documents/demo.flw"
printf '\x8e\x62\xd8\x79\x00\x00\x00\x08\x00D\x00e\x00m\x00o' >"$flow"
printf '\x00\x00\x00\x00%.0s' 1 2 3 4 5 >>"$flow"
exec_line="$(desktop_key "$share/applications/kliqora-designer.desktop" Exec)"
designer_command="${exec_line/\%f/$flow}"
(cd "$HOME" && exec "$bin"/$designer_command) &
pids+=("$!")
designer_window="$(wait_for_window KliqoraDesigner)" || fail "the designer showed no window"
[ -n "$designer_window" ] || fail "the designer showed no window"
[ "$(window_class "$designer_window")" = \
    "$(desktop_key "$share/applications/kliqora-designer.desktop" StartupWMClass)" ] ||
    fail "designer window class $(window_class "$designer_window")"

echo "installed programs OK"
