#!/usr/bin/env bash
# Installs the build into a scratch root and checks what a desktop would see:
# both programs side by side, valid menu entries naming installed programs and
# icons, the .flw file type, and the icon at every hicolor size.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/installcommon.sh"
install_into_scratch "$1"

for program in Kliqora KliqoraDesigner; do
    [ -x "$bin/$program" ] || fail "$program is not in $prefix/bin"
done

main_entry="$share/applications/kliqora.desktop"
designer_entry="$share/applications/kliqora-designer.desktop"
# Any remark (error, warning or hint) fails: menus skip entries they cannot parse.
remarks="$(desktop-file-validate "$main_entry" "$designer_entry" 2>&1)" || true
[ -z "$remarks" ] || fail "desktop-file-validate: $remarks"

icon_sizes=(16 22 24 32 48 64 128 256)
for entry in "$main_entry" "$designer_entry"; do
    program="$(desktop_key "$entry" Exec | cut -d' ' -f1)"
    [ -x "$bin/$program" ] || fail "$(basename "$entry") starts $program, which is not installed"
    icon="$(desktop_key "$entry" Icon)"
    [ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon"
    for size in "${icon_sizes[@]}"; do
        png="$share/icons/hicolor/${size}x${size}/apps/$icon.png"
        [ -f "$png" ] || fail "no ${size}x${size} icon $icon"
        [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] ||
            fail "$png is $(identify -format '%wx%h' "$png")"
    done
done

[ "$(desktop_key "$main_entry" StartupWMClass)" = Kliqora ] || fail "main entry: StartupWMClass"
[[ ";$(desktop_key "$main_entry" Categories)" == *";Utility;"* ]] || fail "main entry: not in Utility"
[ -z "$(desktop_key "$main_entry" NoDisplay)" ] || fail "main entry hidden from menus"
[ -n "$(desktop_key "$main_entry" 'Comment\[zh_CN\]')" ] || fail "main entry: no Chinese comment"

[ "$(desktop_key "$designer_entry" NoDisplay)" = true ] || fail "designer entry shown in menus"
[ "$(desktop_key "$designer_entry" Exec)" = "KliqoraDesigner -f %f" ] || fail "designer Exec line"
flow_type="$(desktop_key "$designer_entry" MimeType)"
[ "$flow_type" = "application/x-kliqora-flow;" ] || fail "designer MimeType is '$flow_type'"

# Build the MIME database of the scratch root the way the package trigger does.
update-mime-database "$share/mime" >"$root/mime.log" 2>&1 ||
    { cat "$root/mime.log" >&2; fail "update-mime-database refused the file type"; }
grep -q '^50:application/x-kliqora-flow:\*\.flw$' "$share/mime/globs2" ||
    fail "*.flw is not mapped to application/x-kliqora-flow"
grep -aq 'application/x-kliqora-flow' "$share/mime/magic" || fail "no magic for flow files"
[ -f "$share/mime/application/x-kliqora-flow.xml" ] || fail "flow type not registered"

echo "install layout OK"
