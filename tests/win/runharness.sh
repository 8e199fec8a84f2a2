#!/usr/bin/env bash
# Cross-compiles the Win32 harness against the Windows backend and the Win32 hotkey
# code, then runs it under Wine on the current X display in a throwaway Wine prefix.
# Usage: runharness.sh <mingw g++ or empty> <required: 0|1> <source dir> <output dir> <sources...>
# Required (what CI runs): a missing cross compiler or Wine fails instead of skipping.
set -uo pipefail

cxx="${1:-}"
required="$2"
source_dir="$3"
out_dir="$4"
shift 4
sources=("$@")

# Prints why the harness cannot run: a skip on a developer's machine, a failure on CI.
missing() {
    if [ "$required" = 1 ]; then
        echo "FAIL: $1"
        exit 1
    fi
    echo "SKIPPED: $1"
    exit 0
}

# Time limits of the two Wine steps (a fresh prefix takes a few seconds when idle).
boot_limit=150
run_limit=150

if [ -z "$cxx" ] || [ ! -x "$cxx" ]; then
    missing "no mingw-w64 cross compiler (scripts/setup installs g++-mingw-w64-x86-64)"
fi
if ! command -v wine >/dev/null; then
    missing "Wine is not installed (scripts/setup installs wine and wine64)"
fi
if [ -z "${DISPLAY:-}" ]; then
    echo "FAIL: no X display; the harness opens windows and needs one (scripts/test starts Xvfb)"
    exit 1
fi

mkdir -p "$out_dir"
prefix_root="$(mktemp -d)"
export WINEPREFIX="$prefix_root/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko installer prompts while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="

cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$prefix_root"
}
trap cleanup EXIT

# One server for the whole run, so the harness does not pay for a second start-up.
wineserver -p >/dev/null 2>&1
started=$SECONDS
timeout "$boot_limit" wine wineboot -i >"$out_dir/wineboot.log" 2>&1 &
boot_pid=$!

# Meanwhile, compile: warnings as errors, static runtime so Wine needs no mingw DLLs.
launcher=()
if command -v ccache >/dev/null; then launcher=(ccache); fi
# Each module's own include directories: the platform interface and private root, the
# hotkey library's private root (its Win32 code), the harness's folder.
flags=(-std=c++17 -Wall -Wextra -Werror -I"$source_dir/platform/include" -I"$source_dir/platform"
    -I"$source_dir/libs/qhotkey" -I"$source_dir/tests/win")
objects=()
compile_failed=0
pids=()
for source in "${sources[@]}"; do
    object="$out_dir/$(basename "${source%.cpp}").o"
    objects+=("$object")
    "${launcher[@]}" "$cxx" "${flags[@]}" -c "$source" -o "$object" &
    pids+=($!)
    # Two at a time: the build machines have few cores.
    if [ ${#pids[@]} -ge 2 ]; then
        wait "${pids[0]}" || compile_failed=1
        pids=("${pids[@]:1}")
    fi
done
for pid in "${pids[@]}"; do wait "$pid" || compile_failed=1; done
if [ "$compile_failed" -ne 0 ] ||
    ! "$cxx" "${objects[@]}" -static -o "$out_dir/winharness.exe" -luser32 -lgdi32 -lwinmm; then
    echo "FAIL: cross-compiling the harness"
    wait "$boot_pid"
    exit 1
fi
echo "built $out_dir/winharness.exe in $((SECONDS - started)) s"

if ! wait "$boot_pid"; then
    echo "FAIL: wineboot did not finish within ${boot_limit} s"
    cat "$out_dir/wineboot.log"
    exit 1
fi
echo "Wine prefix ready after $((SECONDS - started)) s ($(wine --version))"

timeout "$run_limit" wine "$out_dir/winharness.exe"
result=$?
if [ "$result" -eq 124 ]; then
    echo "FAIL: the harness did not finish within ${run_limit} s"
fi
echo "done after $((SECONDS - started)) s"
exit "$result"
