#!/usr/bin/env bash
# Makes docs/library-browser.png: the library browser over a library of three groups of
# pictures of different sizes in formats 23 and 24, a record of format 25 and a record that the
# file cuts short, made by the test program vexlor_browser_sample.
#
#   scripts/make-browser-screenshot.sh [OUTPUT.png]
#
# Needs a built vexlor and vexlor_browser_sample (VEXLOR_BUILD_DIR, default build/), Xvfb,
# xwininfo and ImageMagick. VEXLOR_SCREENSHOT_DISPLAY picks the display number.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="$root/${VEXLOR_BUILD_DIR:-build}"
output="${1:-$root/docs/library-browser.png}"
program="$build/app/vexlor"
sample="$build/tests/vexlor_browser_sample"
cli="$build/cli/vexlor-cli"

say() { echo "make-browser-screenshot: $*" >&2; }
fail() { say "$*"; exit 1; }
[ -x "$program" ] || fail "no $program: build it first"
[ -x "$sample" ] || fail "no $sample: build it first"

use_openbox=no
command -v openbox >/dev/null 2>&1 && use_openbox=yes
# shellcheck source=scripts/virtual-display.sh
. "$root/scripts/virtual-display.sh"

demo="$work/demo"
timeout 60 "$cli" demo "$demo" >/dev/null || fail "vexlor-cli demo failed"
library="$demo/XWA/Resdata/PICTURES.DAT"
"$sample" "$library"
mkdir -m 700 "$work/run"
(
    cd "$demo"
    export TMPDIR="$work/run" XDG_RUNTIME_DIR="$work/run" XDG_STATE_HOME="$work/run"
    exec timeout 60 "$program" "$library"
) >"$work/vexlor.log" 2>&1 &
app_pid=$!
for _ in $(seq 200); do
    timeout 2 xwininfo -name " Vexlor 0.72b " 2>/dev/null | grep -F IsViewable >/dev/null && break
    kill -0 "$app_pid" 2>/dev/null || fail "vexlor ended early: $(cat "$work/vexlor.log")"
    sleep 0.1
done
sleep 3
# The browser's window fills the editor area; a click in its tree selects the first picture.
if command -v xdotool >/dev/null 2>&1; then
    xdotool search --name "resdata.txt" windowunmap 2>/dev/null || true
    xdotool mousemove 120 430 click 1 2>/dev/null || true
    sleep 1
fi
import -window root "$work/shot.png"
convert "$work/shot.png" -crop 1070x670+0+0 +repage "$output"
say "wrote $output"
