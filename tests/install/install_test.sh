#!/usr/bin/env bash
# Installs the build into a fresh prefix (with a blank in its name) and checks what a user gets:
# the programs and Help.txt in a folder of their own, working links in bin/, the desktop entry
# and the icon, and installed programs that run from their links on a demo game folder.
# Arguments: the cmake program and the build folder.
set -euo pipefail
cmake_program=$1
build=$2

work=$(mktemp -d)
program_pid=
cleanup() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

prefix="$work/pre fix"
"$cmake_program" --install "$build" --prefix "$prefix" >"$work/install.log" ||
    fail "cmake --install: $(cat "$work/install.log")"

programs="$prefix/lib/vexlor"
[ -x "$programs/vexlor-cli" ] || fail "no $programs/vexlor-cli"
[ "$(readlink -f "$prefix/bin/vexlor-cli")" = "$(readlink -f "$programs/vexlor-cli")" ] ||
    fail "bin/vexlor-cli does not lead to the installed program"

# The installed command line tool, run through its link, makes a demo.
demo="$work/demo"
printed=$("$prefix/bin/vexlor-cli" demo "$demo") || fail "demo through bin/vexlor-cli"
[ "$printed" = "$demo/XWA/" ] || fail "demo printed '$printed'"

if [ ! -e "$build/app/vexlor" ]; then
    exit 0  # built without the editor: nothing more is installed
fi

[ -x "$programs/vexlor" ] || fail "no $programs/vexlor"
[ -f "$programs/Help.txt" ] || fail "no Help.txt beside the editor"
[ "$(readlink -f "$prefix/bin/vexlor")" = "$(readlink -f "$programs/vexlor")" ] ||
    fail "bin/vexlor does not lead to the installed editor"
icon="$prefix/share/icons/hicolor/scalable/apps/vexlor.svg"
grep -q "<svg" "$icon" || fail "no icon at $icon"
entry="$prefix/share/applications/vexlor.desktop"
grep -qx '\[Desktop Entry\]' "$entry" || fail "no desktop entry at $entry"
grep -qx 'Icon=vexlor' "$entry" || fail "the desktop entry names another icon"
grep -qxF "Exec=\"$programs/vexlor\" %F" "$entry" || fail "Exec line: $(grep Exec "$entry")"

# The installed editor, started through its link in the demo folder, opens on the demo game and
# makes its working folders beside the real program, not beside the link.
for folder in home sockets wine; do mkdir "$work/$folder"; done
(
    cd "$demo"
    export QT_QPA_PLATFORM=offscreen VEXLOR_TEST_LOG=1 HOME="$work/home"
    export TMPDIR="$work/sockets" WINEPREFIX="$work/wine"
    exec "$prefix/bin/vexlor"
) 2>"$work/editor.log" &
program_pid=$!
for _ in $(seq 200); do
    grep -q '^listening$' "$work/editor.log" && break
    kill -0 "$program_pid" 2>/dev/null || fail "the editor ended: $(cat "$work/editor.log")"
    sleep 0.1
done
grep -q '^listening$' "$work/editor.log" || fail "the editor did not start: $(cat "$work/editor.log")"
[ -d "$programs/OutPut" ] || fail "no OutPut beside the installed editor"
[ ! -e "$prefix/bin/OutPut" ] || fail "OutPut was made beside the link"
echo "installed layout ok"
