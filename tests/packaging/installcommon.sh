# Shared by the packaging tests: install a build into a scratch root with DESTDIR.
# Usage (sourced): install_into_scratch <build-dir>; sets root, prefix, bin, share.
prefix=/usr

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

install_into_scratch() {
    root="$(mktemp -d "${TMPDIR:-/tmp}/kliqora-install-XXXXXX")"
    trap 'rm -rf "$root"' EXIT
    DESTDIR="$root" cmake --install "$1" --prefix "$prefix" >/dev/null
    bin="$root$prefix/bin"
    share="$root$prefix/share"
}

# Value of a key in the [Desktop Entry] group of a .desktop file.
desktop_key() {
    sed -n "s/^$2=//p" "$1" | head -n 1
}
