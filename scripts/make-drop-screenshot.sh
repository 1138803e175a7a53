#!/usr/bin/env bash
# Drops a true-colour PNG with an alpha channel on the SHIP editor of the demo, as a file
# manager does, and takes pictures of what follows: the conversion dialog that the drop opens,
# and the list after OK and "<- Add", where the new picture shows with its transparent edges.
#
#   scripts/make-drop-screenshot.sh [OUTPUT-FOLDER]
#
# Writes OUTPUT-FOLDER/drop-dialog.png and OUTPUT-FOLDER/drop-added.png (default: docs/).
# Needs a built vexlor, vexlor-cli and vexlor_drag_source (VEXLOR_BUILD_DIR names the build
# folder, default build/), Xvfb, openbox, xdotool, xwininfo and ImageMagick (convert, import).
# Every wait is bounded; everything started here is stopped at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="$root/${VEXLOR_BUILD_DIR:-build}"
output="${1:-$root/docs}"
program="$build/app/vexlor"
cli="$build/cli/vexlor-cli"
dragger="$build/tests/vexlor_drag_source"

say() { echo "make-drop-screenshot: $*" >&2; }
fail() { say "$*"; exit 1; }

# --- What is needed ------------------------------------------------------------------------
build_hint="cmake --build ${build#"$root"/} --target vexlor vexlor-cli vexlor_drag_source"
for built in "$program" "$cli" "$dragger"; do
    [ -x "$built" ] || fail "no $built: build it first ($build_hint)"
done
missing=()
for tool in Xvfb xwininfo xdotool openbox import convert timeout; do
    command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
    fail "missing: ${missing[*]} (Debian: apt-get install xvfb x11-utils imagemagick coreutils)"
fi
have() { command -v "$1" >/dev/null 2>&1; }

use_openbox=yes
# shellcheck source=scripts/virtual-display.sh
. "$root/scripts/virtual-display.sh"

# --- The demo, the picture and the program ----------------------------------------------------
demo="$work/demo"
timeout 60 "$cli" demo "$demo" >/dev/null || fail "vexlor-cli demo failed"
ship="$demo/XWA/Resdata/SHIP.DAT"
# A render of thousands of colours with soft edges, larger than a SHIP picture.
picture="$work/render.png"
timeout 30 convert -size 400x300 -seed 3 plasma:orange-navy \
    \( -size 400x300 xc:black -fill white -draw "ellipse 200,150 170,120 0,360" -blur 0x3 \) \
    -alpha off -compose CopyOpacity -composite "PNG32:$picture" || fail "cannot make the picture"
mkdir -m 700 "$work/run"
(
    cd "$demo"
    export TMPDIR="$work/run" XDG_RUNTIME_DIR="$work/run" XDG_STATE_HOME="$work/state"
    exec timeout 120 "$program" "$ship"
) >"$work/vexlor.log" 2>&1 &
app_pid=$!

# Waits until a window whose name matches $1 is on the screen, for up to $2 tenths of a second.
wait_for_window() {
    local tries=0
    while [ "$tries" -lt "$2" ]; do
        if timeout 2 xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; then
            return 0
        fi
        kill -0 "$app_pid" 2>/dev/null || fail "vexlor ended early: $(cat "$work/vexlor.log")"
        sleep 0.1
        tries=$((tries + 1))
    done
    return 1
}
wait_for_window "^ Vexlor 0.72b $" 200 || fail "the main window did not appear"
sleep 2
main="$(timeout 5 xdotool search --name "^ Vexlor 0.72b $" | head -n 1)"
top="$(timeout 5 xwininfo -id "$main" | awk '/Absolute upper-left Y/ {print $4}')"
left="$(timeout 5 xwininfo -id "$main" | awk '/Absolute upper-left X/ {print $4}')"
# The one editor stands at the top left of the editor area, below the menu bar and the
# toolbar; these are its preview panel and its "<- Add" button.
panel_x=$((left + 290)); panel_y=$((top + 334))
add_x=$((left + 323)); add_y=$((top + 156))

# --- The drag, from a window of its own, as from a file manager ------------------------------
"$dragger" "$picture" >"$work/drag.log" 2>&1 &
drag_pid=$!
wait_for_window "^Drag source$" 100 || fail "the drag source did not appear"
source_window="$(timeout 5 xdotool search --name "^Drag source$" | head -n 1)"
timeout 5 xdotool windowmove "$source_window" 900 600
sleep 1
timeout 5 xdotool mousemove 980 660 mousedown 1
sleep 0.5
for step in "900 600" "700 450" "400 360" "$((panel_x + 10)) $panel_y" "$panel_x $panel_y"; do
    # shellcheck disable=SC2086
    timeout 5 xdotool mousemove $step
    sleep 0.3
done
timeout 5 xdotool mouseup 1
wait_for_window "^Import image$" 100 || fail "the drop did not open the conversion dialog"
sleep 1
mkdir -p "$output"
timeout 30 import -window root "$output/drop-dialog.png"
say "wrote $output/drop-dialog.png"

# --- OK, then "<- Add" --------------------------------------------------------------------------
dialog="$(timeout 5 xdotool search --onlyvisible --name "^Import image$" | head -n 1)"
timeout 5 xdotool windowactivate --sync "$dialog" key Return
sleep 1
timeout 5 xdotool mousemove "$add_x" "$add_y" click 1
sleep 2
timeout 30 import -window root "$output/drop-added.png"
say "wrote $output/drop-added.png"
timeout 30 "$cli" check "$ship" | grep -qx ok || fail "the library does not check: $("$cli" check "$ship")"
rows="$(timeout 30 "$cli" list ship "$ship" | grep -o '"count": [0-9]*')"
say "SHIP.DAT now holds ${rows#*: } pictures and checks ok"
