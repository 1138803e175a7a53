#!/usr/bin/env bash
# Edits a library of three groups of mixed formats in the library browser, as a user does with
# the keyboard and the mouse under a virtual display: a PNG with soft edges added as format 24
# in a new group, a record's picture replaced by a JPEG at another size, a record renamed into
# another group, and a group's last record deleted. After each step `vexlor-cli check` must say
# ok; four Undos must then give the first file back byte for byte.
#
#   scripts/check-browser-editing.sh [SCREENSHOT.png]
#
# With SCREENSHOT.png, the New group dialog of the first step is saved there (as in
# docs/library-browser-editing.png). Needs a built vexlor and vexlor-cli (VEXLOR_BUILD_DIR,
# default build/), Xvfb, openbox, xdotool, xwininfo and ImageMagick. Every wait is bounded;
# everything started here is stopped at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="$root/${VEXLOR_BUILD_DIR:-build}"
screenshot="${1:-}"
program="$build/app/vexlor"
cli="$build/cli/vexlor-cli"

say() { echo "check-browser-editing: $*" >&2; }
fail() { say "$*"; exit 1; }
for built in "$program" "$cli"; do
    [ -x "$built" ] || fail "no $built: build it first"
done
for tool in Xvfb xwininfo xdotool openbox import convert timeout; do
    command -v "$tool" >/dev/null 2>&1 || fail "missing: $tool"
done

use_openbox=yes
# shellcheck source=scripts/virtual-display.sh
. "$root/scripts/virtual-display.sh"

# --- The library and the pictures --------------------------------------------------------------
timeout 60 "$cli" demo "$work/demo" >/dev/null || fail "vexlor-cli demo failed"
library="$work/MIXED.DAT"
cp "$work/demo/XWA/Resdata/HULL.DAT" "$library"
timeout 30 convert -size 64x48 gradient:red-blue "PNG24:$work/a.png"
timeout 30 convert -size 40x30 -seed 2 plasma:green-yellow "PNG24:$work/b.png"
timeout 30 convert -size 48x36 xc:none -fill "rgba(255,128,0,1)" -draw "circle 24,18 24,2" \
    -blur 0x3 "PNG32:$work/soft.png"
timeout 30 convert -size 90x60 -seed 5 plasma: "$work/photo.jpg"
export XDG_STATE_HOME="$work/state" XDG_RUNTIME_DIR="$work/run" TMPDIR="$work/run"
mkdir -m 700 "$work/run"
# Group 26000 of format 24 (the demo's hulls), group 14800 of two in 23, group 15210 of one in 24.
for add in "14800 1 a.png 23" "14800 2 b.png 23" "15210 1 b.png 24 --size 20 15"; do
    # shellcheck disable=SC2086
    set -- $add
    timeout 30 "$cli" add "$library" "$1" "$2" "$work/$3" --format "$4" "${@:5}" >/dev/null ||
        fail "cannot make the library"
done
# Only the browser's own changes are to be undone.
rm -rf "$work/state"
first="$work/FIRST.DAT"
cp "$library" "$first"

(cd "$work/demo" && exec timeout 300 "$program") >"$work/vexlor.log" 2>&1 &
app_pid=$!

wait_for_window() {
    local tries=0
    while [ "$tries" -lt "$2" ]; do
        timeout 2 xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 && return 0
        kill -0 "$app_pid" 2>/dev/null || fail "vexlor ended early: $(cat "$work/vexlor.log")"
        sleep 0.1
        tries=$((tries + 1))
    done
    fail "no window \"$1\""
}
key() { timeout 5 xdotool key "$@"; }
type_text() { timeout 20 xdotool type --delay 20 "$1"; }
# Clicks at a place given as on a screen where the main window's inside starts at the top left.
click() { timeout 5 xdotool mousemove $((left + $1)) $((top + $2 - 19)) click 1; sleep 0.5; }
checked() {
    local said
    said="$(timeout 30 "$cli" check "$library" 2>&1)" || fail "after $1: $said"
    [ "$said" = ok ] || fail "after $1: $said"
    say "$1: check says ok"
}

wait_for_window "^ Vexlor 0.72b $" 200
sleep 2
main="$(timeout 5 xdotool search --name "^ Vexlor 0.72b $" | head -n 1)"
left="$(timeout 5 xwininfo -id "$main" | awk '/Absolute upper-left X/ {print $4}')"
top="$(timeout 5 xwininfo -id "$main" | awk '/Absolute upper-left Y/ {print $4}')"
say "the main window's inside starts at $left, $top"

# --- File, Browse library... -------------------------------------------------------------------
timeout 5 xdotool windowactivate --sync "$main"
key ctrl+b
wait_for_window "^Browse library$" 50
type_text "$library"
key Return
sleep 2

# --- New group 500 from the soft PNG, as format 24 ---------------------------------------------
click 311 281
key ctrl+g
wait_for_window "^Picture to store$" 50
type_text "$work/soft.png"
key Return
wait_for_window "^New group$" 50
key ctrl+a
type_text 500
key Tab ctrl+a
type_text 1
click 834 347
key Down Return
sleep 1
[ -z "$screenshot" ] || timeout 30 import -window root -crop 1010x680+0+0 +repage "$screenshot"
key Return
sleep 2
checked "New group 500 1"
timeout 30 "$cli" info "$library" | grep -q '"GroupId": 500, "PictureId": 1' ||
    fail "no record 500 1"

# --- Replace 14800 1 by the JPEG at 50 x 40 ------------------------------------------------------
click 339 383
key ctrl+r
wait_for_window "^Picture to store$" 50
type_text "$work/photo.jpg"
key Return
wait_for_window "^Replace picture$" 50
click 703 376
key ctrl+a
type_text 50
key Tab ctrl+a
type_text 40
key Return
sleep 2
checked "Replace 14800 1"
timeout 30 "$cli" info "$library" | grep -q '"Width": 50, "Height": 40' || fail "no record of width 50"

# --- Rename 14800 2 into group 26000 as 9000 --------------------------------------------------
click 339 417
key F2
wait_for_window "^Rename record$" 50
key ctrl+a
type_text 26000
key Tab ctrl+a
type_text 9000
key Return
sleep 2
checked "Rename 14800 2 to 26000 9000"
timeout 30 "$cli" info "$library" | grep -q '"GroupId": 26000, "PictureId": 9000' ||
    fail "no record 26000 9000"

# --- Delete 15210 1, the last record of its group ---------------------------------------------
click 339 485
key Delete
wait_for_window "^Delete$" 50
key alt+y
sleep 2
checked "Delete 15210 1"
[ "$(timeout 30 "$cli" info "$library" | grep -c '"GroupId": 15210')" = 0 ] ||
    fail "group 15210 is still there"

# --- Undo four times ----------------------------------------------------------------------------
for step in 1 2 3 4; do
    key ctrl+z
    sleep 2
    checked "Undo $step"
done
cmp -s "$library" "$first" || fail "four Undos did not give the first file back"
say "four Undos gave the first file back byte for byte"
