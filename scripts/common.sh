# Shared by the scripts: configure and build in $KLIQORA_BUILD_DIR, by default ./build.
# Each script keeps a folder of its own (scripts/run: build-run, scripts/package:
# build-package), so none reconfigures another's build with different options.
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${KLIQORA_BUILD_DIR:-$top/build}"

# Let every clone and build folder share ccache's results: paths below the
# source tree are hashed relative to it.
export CCACHE_BASEDIR="$top"
export CCACHE_NOHASHDIR=1

kliqora_build() {
    "$top/scripts/setup"
    local generator=()
    if [ ! -f "$build_dir/CMakeCache.txt" ] && command -v ninja >/dev/null; then
        generator=(-G Ninja)
    fi
    cmake -S "$top" -B "$build_dir" "${generator[@]}" "$@" >/dev/null
    cmake --build "$build_dir" --parallel "$(nproc)"
}

# Starts Xvfb on a free display and exports DISPLAY; the server ends with the script.
# -noreset: otherwise the server resets whenever its last client leaves, and a program
# that connects during that reset is refused ("could not connect to display").
kliqora_start_xvfb() {
    local fifo
    fifo="$(mktemp -u)"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
    xvfb_pid=$!
    local display
    read -r -t 20 display <"$fifo" || true
    rm -f "$fifo"
    if [ -z "${display:-}" ]; then
        echo "Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$display"
    trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
}
