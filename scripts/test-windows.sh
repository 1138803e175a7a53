#!/usr/bin/env bash
# Runs the Windows build's tests (scripts/build-windows.sh) under Wine in a prefix made for this
# run alone, then game folder discovery against a registry that Wine wrote, with the Windows
# build and the Linux build side by side.
# Arguments: the Windows build folder and the Linux build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
windows_build=${1:-build-windows}
linux_build=${2:-build}
jobs=$(nproc 2>/dev/null || echo 2)

work=$(mktemp -d)
# No Mono or Gecko: nothing here needs them, and their installers would ask.
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# One server for the whole run instead of one per test program.
mkdir -p "$WINEPREFIX"
wineserver -p
wineboot -i >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log" >&2; exit 1; }
# A test that fails is run once more before it counts: Wine now and then fails to start a
# program at all (a failure in hundredths of a second, with no output); what fails twice counts.
ctest --test-dir "$windows_build" --output-on-failure -j "$jobs" --repeat until-pass:2
wineserver -k || true

tests/registry/wine_registry_test.sh "$linux_build/tests/game_folder_probe" \
    "$windows_build/tests/game_folder_probe.exe"
