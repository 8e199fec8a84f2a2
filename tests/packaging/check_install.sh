#!/usr/bin/env bash
# Installs the build into a scratch root and checks what a desktop would see:
# both programs side by side, valid menu entries naming installed programs and
# icons, the .flw file type, the icon at every hicolor size, and the main
# program's man page and bash completion where man and bash look for them.
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

# The man page: valid troff (man's own check) naming every option of --help.
man_page="$share/man/man1/kliqora.1"
[ -f "$man_page" ] || fail "no man page kliqora.1"
warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$man_page" 2>&1 >"$root/man.txt")" ||
    fail "man cannot format kliqora.1"
[ -z "$warnings" ] || fail "kliqora.1: $warnings"
for option in $("$bin/Kliqora" --help | grep -o -- '--[a-z]*' | sort -u); do
    grep -q -- "$option" "$root/man.txt" || fail "the man page lacks $option"
done

# The completion, loaded by bash-completion by the program's name, completes options,
# jobs, and the names of the recordings as the installed program lists them.
completion_dir="$(pkg-config --variable=completionsdir bash-completion)"
completion="$root$completion_dir/Kliqora"
[ -f "$completion" ] || fail "no bash completion in $completion_dir"
export HOME="$root/home" XDG_CONFIG_HOME="$root/home/.config" XDG_RUNTIME_DIR="$root/run"
mkdir -p "$HOME/Documents/Kliqora/Record" "$XDG_RUNTIME_DIR"
printf '\x8e\x62\xd8\x78\x00\x00\x00\x07' >"$HOME/Documents/Kliqora/Record/my walk.kqt"
complete_words() { # the command line, split as bash splits it; the last word is completed
    PATH="$bin:$PATH" bash -c '
        source /usr/share/bash-completion/bash_completion
        source "$1"; shift
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
        # The line as typed: bash splits at a colon, but no space surrounds it.
        COMP_LINE="$*"; COMP_LINE="${COMP_LINE// :/:}"; COMP_LINE="${COMP_LINE//: /:}"
        COMP_POINT=${#COMP_LINE}
        _kliqora "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$@"
}
[ "$(complete_words Kliqora --sp)" = "--speed" ] || fail "completion of an option"
[ "$(complete_words Kliqora --toggle rec)" = "recorder" ] || fail "completion of a job"
[ "$(complete_words Kliqora --toggle replay : my)" = 'my\ walk' ] ||
    fail "completion of a recording name: '$(complete_words Kliqora --toggle replay : my)'"

echo "install layout OK"
