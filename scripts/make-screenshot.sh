#!/usr/bin/env bash
# Makes docs/screenshot.png, the README's picture: the main window with the four demo libraries
# open in their editors, the resource list editor and the Preview, on a virtual X display.
#
#   scripts/make-screenshot.sh [OUTPUT.png]
#
# Needs a built vexlor and vexlor-cli (VEXLOR_BUILD_DIR names the build folder, default build/),
# Xvfb, xwininfo and ImageMagick (import, convert). Uses openbox (maximised main window, window
# frames) and xdotool (showing the Preview) when they are installed, and does without them.
# Every wait is bounded; the program, the window manager and Xvfb are stopped at the end.
# VEXLOR_SCREENSHOT_DISPLAY picks the display number (default: the first free one from 97).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="$root/${VEXLOR_BUILD_DIR:-build}"
output="${1:-$root/docs/screenshot.png}"
program="$build/app/vexlor"
cli="$build/cli/vexlor-cli"

say() { echo "make-screenshot: $*" >&2; }
fail() { say "$*"; exit 1; }

# --- What is needed ------------------------------------------------------------------------
build_hint="cmake --build ${build#"$root"/} --target vexlor vexlor-cli"
[ -x "$program" ] || fail "no $program: build it first ($build_hint)"
[ -x "$cli" ] || fail "no $cli: build it first ($build_hint)"
missing=()
for tool in Xvfb xwininfo import convert timeout; do
    command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
    fail "missing: ${missing[*]} (Debian: apt-get install xvfb x11-utils imagemagick coreutils)"
fi
have() { command -v "$1" >/dev/null 2>&1; }
have openbox || say "openbox is not installed: the main window is shown unframed, not maximised"
have xdotool || say "xdotool is not installed: the Preview stays hidden"

use_openbox=no
have openbox && use_openbox=yes
# shellcheck source=scripts/virtual-display.sh
. "$root/scripts/virtual-display.sh"

# --- The demo and the program ----------------------------------------------------------------
demo="$work/demo"
timeout 60 "$cli" demo "$demo" >/dev/null || fail "vexlor-cli demo failed"
resdata="$demo/XWA/Resdata"
# The program reads vexlor.ini from the folder it starts in: the demo folder. A temporary folder
# of its own keeps it apart from a copy that the user is running, which it would otherwise hand
# over to and end.
mkdir -m 700 "$work/run"
(
    cd "$demo"
    export TMPDIR="$work/run" XDG_RUNTIME_DIR="$work/run"
    exec timeout 120 "$program" "$resdata/HULL.DAT" "$resdata/MAP.DAT" "$resdata/SHIP.DAT" \
        "$resdata/MISSION.DAT"
) >"$work/vexlor.log" 2>&1 &
app_pid=$!

# Waits until the window named exactly $1 is on the screen, for up to $2 tenths of a second.
wait_for_window() {
    local tries=0
    while [ "$tries" -lt "$2" ]; do
        if timeout 2 xwininfo -name "$1" 2>/dev/null | grep -F IsViewable >/dev/null; then
            return 0
        fi
        kill -0 "$app_pid" 2>/dev/null || fail "vexlor ended early: $(cat "$work/vexlor.log")"
        sleep 0.1
        tries=$((tries + 1))
    done
    return 1
}
# The library windows live inside the main window and have no window of their own; they are
# made before the main window takes its first event, so once it shows, they are there.
wait_for_window " Vexlor 0.72b " 200 || fail "the main window did not appear"
wait_for_window "resdata.txt" 50 || say "the resource list window did not appear"
# Thumbnails are drawn as the lists show them; give them a moment.
sleep 3

# Shows the Preview with craft 1's pictures and moves the resource list window below it. The
# toolbar buttons are no windows of their own, so "Preview" is found in a picture of the
# toolbar: it is the rightmost thing there.
show_preview() {
    local main top band box width left right y preview resdata x
    main="$(timeout 5 xdotool search --name "^ Vexlor 0.72b $" 2>/dev/null | head -n 1 || true)"
    [ -n "$main" ] || return 1
    top="$(timeout 5 xwininfo -id "$main" | awk '/Absolute upper-left Y/ {print $4}')"
    [ -n "$top" ] || return 1
    # A strip through the toolbar, below the menu bar.
    band=$((top + 25))
    timeout 30 import -window root -crop "1600x20+0+$band" "$work/toolbar.png" 2>/dev/null ||
        return 1
    box="$(timeout 30 convert "$work/toolbar.png" -fuzz 10% -trim -format '%w %X' info: \
        2>/dev/null)" || return 1
    read -r width left <<<"$box"
    right=$((${left#+} + width))
    [ "$right" -gt 100 ] || return 1
    y=$((band + 10))
    timeout 5 xdotool mousemove "$((right - 20))" "$y" click 1 || return 1
    for _ in $(seq 30); do
        preview="$(timeout 5 xdotool search --onlyvisible --name '^Preview$' 2>/dev/null |
            head -n 1 || true)"
        [ -n "$preview" ] && break
        sleep 0.1
    done
    [ -n "$preview" ] || return 1
    sleep 0.5
    # Its "Refresh" button (81 x 25 at 8, 32) searches the libraries and draws the pictures.
    x="$(timeout 5 xwininfo -id "$preview" | awk '/Absolute upper-left X/ {print $4}')"
    y="$(timeout 5 xwininfo -id "$preview" | awk '/Absolute upper-left Y/ {print $4}')"
    timeout 5 xdotool mousemove "$((x + 48))" "$((y + 44))" click 1 || return 1
    resdata="$(timeout 5 xdotool search --onlyvisible --name '^resdata.txt$' 2>/dev/null |
        head -n 1 || true)"
    if [ -n "$resdata" ]; then
        timeout 5 xdotool windowmove "$resdata" 1190 520 || true
    fi
    return 0
}

if have xdotool; then
    show_preview || say "could not show the Preview; the picture shows it hidden"
    # Out of the way, over the empty part of the main window.
    timeout 5 xdotool mousemove 250 930 || true
fi

sleep 1
mkdir -p "$(dirname "$output")"
timeout 30 import -window root "$work/raw.png" || fail "import could not read the display"
# Without the time stamps, so an unchanged screen gives an unchanged file; a large picture is
# cut down to 256 colours, which these flat windows hardly show.
timeout 60 convert "$work/raw.png" -strip "$output" || fail "convert failed"
if [ "$(wc -c <"$output")" -gt 400000 ]; then
    timeout 60 convert "$work/raw.png" -strip -colors 256 PNG8:"$output" || fail "convert failed"
fi
say "wrote $output ($(wc -c <"$output") bytes)"
