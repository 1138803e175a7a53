#!/usr/bin/env bash
# The Windows editor tried as a user tries it, on a virtual X display with a window manager:
#  1. vexlor.exe under Wine, in a Wine prefix of its own that holds the demo game and the game's
#     registry entry, started on the demo's four libraries and driven with xdotool through its
#     menus and keys: each editor exports its first picture (Export BMP), and each file must
#     be the one the Linux build's editor writes, driven the same way; Import image... and
#     "<- Add" add a picture to HULL (vexlor-cli check says ok), Ctrl+Z gives the library back
#     byte for byte; a second vexlor.exe hands a library to the first and ends.
#  2. The installer in a fresh prefix: its silent mode installs, the installed vexlor.exe shows
#     its window, the uninstaller's silent mode removes every file it installed.
#
#   scripts/test-windows-gui.sh [WINDOWS_BUILD] [LINUX_BUILD] [SCREENSHOT.png]
#
# The screenshot (docs/windows.png, say) shows the demo open in the Windows build. Every wait is
# bounded; Wine, the programs, the window manager and Xvfb are stopped at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
windows_build="$(realpath "${1:-build-windows}")"
linux_build="$(realpath "${2:-build}")"
screenshot="${3:-}"
[ -z "$screenshot" ] || screenshot="$(realpath -m "$screenshot")"
windows_program="$windows_build/app/vexlor.exe"
linux_program="$linux_build/app/vexlor"
cli="$linux_build/cli/vexlor-cli"

say() { echo "test-windows-gui: $*" >&2; }
fail() {
    say "FAILED: $*"
    if [ -n "${work:-}" ] && [ -s "$work/vexlor.log" ]; then
        tail -n 20 "$work/vexlor.log" >&2
    fi
    if [ -n "${work:-}" ] && [ -d "$work" ]; then
        timeout 30 import -window root "$windows_build/test-windows-gui-failure.png" 2>/dev/null &&
            say "the screen at the failure: $windows_build/test-windows-gui-failure.png"
    fi
    exit 1
}
for needed in "$windows_program" "$linux_program" "$cli"; do
    [ -x "$needed" ] || [ -f "$needed" ] || fail "no $needed: build it first"
done
for tool in wine wineboot wineserver Xvfb xwininfo xdotool openbox import; do
    command -v "$tool" >/dev/null 2>&1 || fail "missing: $tool"
done

use_openbox=yes
# shellcheck source=scripts/virtual-display.sh
. "$root/scripts/virtual-display.sh"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
end_wine() {
    if [ -n "${WINEPREFIX:-}" ]; then
        timeout 20 wineserver -k 2>/dev/null || true
    fi
}
trap 'end_wine; stop' EXIT

# --- Waiting and driving -------------------------------------------------------------------
# The id of the visible window named exactly $1, waited for up to $2 tenths of a second.
window_named() {
    local tries=0 id
    while [ "$tries" -lt "$2" ]; do
        id="$(timeout 5 xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)" ||
            true
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
        tries=$((tries + 1))
    done
    return 1
}
window_gone() {
    local tries=0
    while [ "$tries" -lt 100 ]; do
        timeout 5 xwininfo -id "$1" 2>/dev/null | grep -q IsViewable || return 0
        sleep 0.1
        tries=$((tries + 1))
    done
    return 1
}
keys() {
    timeout 10 xdotool key --delay 80 "$@" || fail "xdotool could not press $*"
    sleep 0.4
}
main_window() {
    main="$(window_named " Vexlor 0.72b " 600)" || fail "the main window did not appear"
    timeout 10 xdotool windowactivate --sync "$main" 2>/dev/null ||
        timeout 10 xdotool windowfocus --sync "$main" 2>/dev/null || true
    sleep 0.5
}
# Window > N: the editor windows in the order they were opened. The main window is made the
# active one first, as a tool window may have taken the focus when a message closed.
focus_main() {
    timeout 10 xdotool windowactivate --sync "$main" 2>/dev/null || true
    sleep 0.3
}
editor() {
    focus_main
    keys alt+w
    keys "$1"
}
# In the active editor, whose list has the focus: the first picture selected, Export BMP
# (two steps on from the list, Refresh first), and the message that says it is done.
export_first_picture() {
    keys Down Home Tab Tab space
    local box
    box="$(window_named "Export" 150)" || fail "$1: no message after Export BMP"
    keys Return
    window_gone "$box" || fail "$1: the export message stays"
    focus_main
}
# The one file in folder $1 (any case of its name) that matches $2, printed.
file_in() {
    local found
    found="$(find "$1" -maxdepth 2 -type f -iname "$2" | head -n 1)"
    [ -n "$found" ] || fail "no $2 in $1: $(find "$1" -maxdepth 2 | tr '\n' ' ')"
    echo "$found"
}

# --- The Linux build's exports, for comparison -------------------------------------------------
say "the Linux build's editor, for the files it exports"
linux_run="$work/linux"
mkdir -p -m 700 "$linux_run/program" "$linux_run/temp"
cp "$linux_program" "$linux_build/app/Help.txt" "$linux_run/program/"
timeout 60 "$cli" demo "$linux_run/demo" >/dev/null || fail "vexlor-cli demo failed"
resdata="$linux_run/demo/XWA/Resdata"
(
    cd "$linux_run/demo"
    export QT_QPA_PLATFORM=xcb TMPDIR="$linux_run/temp" XDG_RUNTIME_DIR="$linux_run/temp"
    exec timeout 300 "$linux_run/program/vexlor" "$resdata/HULL.DAT" "$resdata/MAP.DAT" \
        "$resdata/SHIP.DAT" "$resdata/MISSION.DAT"
) >"$work/vexlor.log" 2>&1 &
app_pid=$!
main_window
for number in 1 2 3 4; do
    editor "$number"
    export_first_picture "Linux editor $number"
done
kill "$app_pid" 2>/dev/null || true
wait "$app_pid" 2>/dev/null || true
app_pid=""
linux_output="$linux_run/program/OutPut"

# --- The Windows build, in a prefix with the demo and the game's registry entry ----------------
say "vexlor.exe under Wine"
export WINEPREFIX="$work/prefix"
# Wine hands the environment on: the windows platform plugin, not the tests' offscreen one.
export QT_QPA_PLATFORM=windows
# A fresh prefix in $WINEPREFIX with the demo game in C:\Demo and the game's registry entry.
prepare_prefix() {
    timeout 300 wineboot -i >"$work/wineboot.log" 2>&1 ||
        fail "wineboot: $(cat "$work/wineboot.log")"
    drive_c="$WINEPREFIX/drive_c"
    timeout 60 "$cli" demo "$drive_c/Demo" >/dev/null || fail "vexlor-cli demo failed"
    rm -f "$drive_c/Demo/vexlor.ini"
    timeout 60 wine reg add \
        'HKLM\SOFTWARE\LucasArts Entertainment Company LLC\X-Wing Alliance\v1.0' /v Executable \
        /t REG_SZ /d 'C:\Demo\XWA\xwingalliance.exe' /reg:32 /f >/dev/null 2>&1 ||
        fail "wine reg add failed"
}
prepare_prefix
mkdir -p "$drive_c/Vexlor" "$drive_c/Pictures"
cp "$windows_program" "$windows_build/app/Help.txt" "$drive_c/Vexlor/"
cp "$root/tests/pictures/files/rgba.png" "$drive_c/Pictures/soft edges.png"
cp "$drive_c/Demo/XWA/Resdata/HULL.DAT" "$work/HULL.DAT.before"

(
    cd "$drive_c/Vexlor"
    exec timeout 300 wine vexlor.exe 'C:\Demo\XWA\Resdata\HULL.DAT' \
        'C:\Demo\XWA\Resdata\MAP.DAT' 'C:\Demo\XWA\Resdata\SHIP.DAT' \
        'C:\Demo\XWA\Resdata\MISSION.DAT'
) >>"$work/vexlor.log" 2>&1 &
app_pid=$!
main_window
# The resource list window comes with the game folder that the registry named.
window_named "resdata.txt" 300 >/dev/null || fail "the resource list window did not appear"
sleep 2
if [ -n "$screenshot" ]; then
    mkdir -p "$(dirname "$screenshot")"
    timeout 30 import -window root "$work/raw.png" || fail "import could not read the display"
    timeout 60 convert "$work/raw.png" -strip "$screenshot" || fail "convert failed"
    say "wrote $screenshot"
fi

windows_output="$drive_c/Vexlor/OutPut"
for number in 1 2 3 4; do
    editor "$number"
    export_first_picture "Windows editor $number"
done
for exported in "$linux_output"/*.bmp; do
    name="$(basename "$exported")"
    cmp "$exported" "$(file_in "$windows_output" "$name")" ||
        fail "$name: the Windows build exported other bytes than the Linux build"
done
[ "$(find "$windows_output" -type f | wc -l)" = 4 ] || fail "the Windows build did not export 4 files"
say "Export BMP: the four editors wrote the Linux build's files"

# Import image... in HULL, from the export button two steps on; then "<- Add" two further on.
editor 1
keys Tab Tab space
dialog="$(window_named "Import image" 100)" || fail "Import image... showed no file dialog"
timeout 20 xdotool type --delay 40 'C:\Pictures\soft edges.png' || fail "xdotool type failed"
keys Return
window_gone "$dialog" || fail "the file dialog stays"
dialog="$(window_named "Import image" 150)" || fail "no conversion dialog"
keys Return
window_gone "$dialog" || fail "the conversion dialog stays"
focus_main
keys Tab Tab space
sleep 1
hull="$drive_c/Demo/XWA/Resdata/HULL.DAT"
cmp -s "$hull" "$work/HULL.DAT.before" && fail "<- Add left HULL.DAT as it was"
check="$("$cli" check "$hull" 2>&1)" || fail "check after <- Add: $check"
say "<- Add: vexlor-cli check says $check"
focus_main
keys ctrl+z
sleep 1
cmp "$hull" "$work/HULL.DAT.before" || fail "Ctrl+Z did not give HULL.DAT back byte for byte"
say "Ctrl+Z: HULL.DAT is back byte for byte"

# A second start hands its library to the first and ends: the MAP window, closed (Ctrl+F4), comes
# back as the active one.
editor 2
keys ctrl+F4
rm -f "$windows_output"/*
timeout 60 bash -c "cd '$drive_c/Vexlor' && wine vexlor.exe 'C:\\Demo\\XWA\\Resdata\\MAP.DAT'" \
    >>"$work/vexlor.log" 2>&1 || fail "the second vexlor.exe did not end by itself"
sleep 1
mains="$(timeout 5 xdotool search --onlyvisible --name '^ Vexlor 0.72b $' 2>/dev/null | wc -l)"
[ "$mains" = 1 ] || fail "$mains main windows after the second start"
kill -0 "$app_pid" 2>/dev/null || fail "the first vexlor.exe ended"
focus_main
export_first_picture "the handed library"
map_export="$(basename "$(find "$linux_output" -iname 'map_*.bmp' | head -n 1)")"
cmp "$linux_output/$map_export" "$(file_in "$windows_output" "$map_export")" ||
    fail "the handed MAP.DAT exported other bytes"
say "a second start handed MAP.DAT to the first"
kill "$app_pid" 2>/dev/null || true
wait "$app_pid" 2>/dev/null || true
app_pid=""
end_wine

# --- The installer, in a fresh prefix -----------------------------------------------------------
installer="$(find "$windows_build" -maxdepth 1 -name 'vexlor-*-setup-x64.exe' | head -n 1)"
[ -n "$installer" ] || fail "no installer in $windows_build: scripts/build-windows.sh makes it"
say "$(basename "$installer"), silently"
export WINEPREFIX="$work/install-prefix"
prepare_prefix
find "$drive_c" -type f | sort >"$work/files.before"
timeout 120 wine "$installer" /S >>"$work/vexlor.log" 2>&1 || fail "the installer failed"
timeout 60 wineserver -w || true
installed="$drive_c/Program Files/Vexlor"
for file in vexlor.exe vexlor-cli.exe Help.txt README.txt LICENSE.txt Uninstall.exe; do
    [ -f "$installed/$file" ] || fail "the installer did not install $file"
done
find "$drive_c" -path '*Start Menu*' -iname 'Vexlor.lnk' | grep -q . ||
    fail "no Start-menu entry"
(cd "$drive_c" && exec timeout 120 wine 'C:\Program Files\Vexlor\vexlor.exe') \
    >>"$work/vexlor.log" 2>&1 &
app_pid=$!
window_named " Vexlor 0.72b " 600 >/dev/null || fail "the installed vexlor.exe showed no window"
say "the installed vexlor.exe shows its window"
kill "$app_pid" 2>/dev/null || true
wait "$app_pid" 2>/dev/null || true
app_pid=""
timeout 60 wineserver -k 2>/dev/null || true
# The uninstaller runs from a copy of itself in the temporary folder and returns at once.
timeout 120 wine 'C:\Program Files\Vexlor\Uninstall.exe' /S >>"$work/vexlor.log" 2>&1 ||
    fail "the uninstaller failed"
timeout 60 wineserver -w || true
for _ in $(seq 100); do
    [ -e "$installed" ] || break
    sleep 0.2
done
[ ! -e "$installed" ] || fail "the uninstaller left: $(find "$installed" | tr '\n' ' ')"
# Nothing new stays in the program folders or the Start menu; what the program itself wrote
# while it ran (the user's settings and journal) is the user's, not the installer's.
find "$drive_c" -type f | sort >"$work/files.after"
left="$(comm -13 "$work/files.before" "$work/files.after" |
    grep -E '/Program Files|/Start Menu|/ProgramData' || true)"
[ -z "$left" ] || fail "the uninstaller left: $left"
find "$drive_c" -path '*Start Menu*' -iname '*Vexlor*' | grep -q . &&
    fail "the uninstaller left the Start-menu folder"
say "the uninstaller removed every file it installed"
say "passed"
