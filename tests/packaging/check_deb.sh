#!/usr/bin/env bash
# Builds the Debian package from the build and checks it: the runtime dependencies
# a fresh Debian 12 needs to install, the recommended CJK font, the same files as
# a plain install, and that apt can resolve it on this system.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/installcommon.sh"
build="$1"
install_into_scratch "$build"

out="$root/package"
cpack --config "$build/CPackConfig.cmake" -B "$out" >"$root/cpack.log" 2>&1 ||
    { cat "$root/cpack.log" >&2; fail "cpack failed"; }
deb="$(ls "$out"/kliqora_*.deb)"
echo "built $(basename "$deb")"

depends="$(dpkg-deb -f "$deb" Depends)"
# OpenSSL comes in through cpp-httplib's own dependency (checked with ldd below).
for package in libqt5core5a libqt5gui5 libqt5widgets5 libqt5network5 libqt5svg5 \
    libqt5x11extras5 libcpp-httplib0.11 libxtst6 libx11-6; do
    grep -Eq "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends lacks $package: $depends"
done
grep -q 'fonts-noto-cjk' <<<"$(dpkg-deb -f "$deb" Recommends)" || fail "no CJK font recommended"
[ "$(dpkg-deb -f "$deb" Package)" = kliqora ] || fail "package name"

# The package holds exactly what `cmake --install` puts under the prefix.
(cd "$root" && find ".$prefix" -type f -o -type l | sort) >"$root/installed.txt"
dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort >"$root/packaged.txt"
diff -u "$root/installed.txt" "$root/packaged.txt" || fail "package and install differ"

# Every library the packaged programs need is found by the loader.
mkdir "$root/unpacked"
dpkg-deb -x "$deb" "$root/unpacked"
for program in Kliqora KliqoraDesigner; do
    missing="$(ldd "$root/unpacked/usr/bin/$program" | grep 'not found' || true)"
    [ -z "$missing" ] || fail "$program: $missing"
done
libraries="$(ldd "$root/unpacked/usr/bin/Kliqora")"
grep -q 'libssl\.so' <<<"$libraries" || fail "Kliqora does not load OpenSSL"

apt-get install --simulate --no-install-recommends "$deb" >"$root/apt.log" 2>&1 ||
    { cat "$root/apt.log" >&2; fail "apt cannot resolve the package's dependencies"; }
echo "package OK"
