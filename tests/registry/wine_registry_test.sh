#!/usr/bin/env bash
# Game folder discovery against a registry that Wine itself wrote: a fresh prefix (wineboot), the
# game's entry written with `wine reg add` in the 32-bit view, then in the 64-bit view, then as
# a value of the wrong type. Each time the Windows build, inside Wine, reads the registry
# through the Windows functions, and the Linux build reads the prefix's system.reg from outside:
# both must find the same game folder, and both must refuse the wrong type.
# Arguments: the Linux game_folder_probe and the Windows game_folder_probe.exe.
set -euo pipefail
linux_probe=$(realpath "$1")
windows_probe=$(realpath "$2")

work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

wineboot -i >"$work/wineboot.log" 2>&1 || fail "wineboot: $(cat "$work/wineboot.log")"
game="$WINEPREFIX/drive_c/Games/X-Wing Alliance"
mkdir -p "$game"
touch "$game/XWINGALLIANCE.EXE"

key='HKLM\SOFTWARE\LucasArts Entertainment Company LLC\X-Wing Alliance\v1.0'
executable='C:\Games\X-Wing Alliance\XWINGALLIANCE.EXE'

# Wine keeps the registry in its server and writes system.reg when the server ends.
settle() {
    wineserver -w
}

# Runs both probes with fresh INI files; sets windows_out and linux_out.
probe() {
    rm -f "$work/windows.ini" "$work/linux.ini"
    windows_out=$(cd "$work" && wine "$windows_probe" 'windows.ini' | tr -d '\r')
    settle
    linux_out=$(cd "$work" && "$linux_probe" "$work/linux.ini")
}

# The folder a probe found, as a path of the host.
host_folder() {
    local line=$1 mapped
    line=${line#folder }
    case "$line" in
        [A-Za-z]:\\*) mapped=$(winepath -u "$line" 2>/dev/null | tr -d '\r') ;;
        *) mapped=$line ;;
    esac
    realpath -m "$mapped"
}

expect_found() {
    local view=$1
    probe
    [ "$(sed -n 1p <<<"$windows_out")" = "Text $executable" ] ||
        fail "$view view, Windows build read: $windows_out"
    local linux_text
    linux_text=$(sed -n 1p <<<"$linux_out")
    [ "${linux_text#Text }" != "$linux_text" ] &&
        [ "$(realpath "${linux_text#Text }")" = "$(realpath "$game/XWINGALLIANCE.EXE")" ] ||
        fail "$view view, Linux build read: $linux_out"
    [ "$(sed -n 2p <<<"$windows_out")" = 'folder C:\Games\X-Wing Alliance\' ] ||
        fail "$view view, Windows build's folder: $windows_out"
    local from_windows from_linux
    from_windows=$(host_folder "$(sed -n 2p <<<"$windows_out")")
    from_linux=$(host_folder "$(sed -n 2p <<<"$linux_out")")
    [ "$from_windows" = "$(realpath "$game")" ] || fail "$view view: Windows found $from_windows"
    [ "$from_linux" = "$from_windows" ] ||
        fail "$view view: Linux found $from_linux, Windows $from_windows"
    echo "$view view: both found $from_linux"
}

wine reg add "$key" /v Executable /t REG_SZ /d "$executable" /reg:32 /f >/dev/null
settle
grep -q 'Wow6432Node\\\\LucasArts' "$WINEPREFIX/system.reg" ||
    fail "the 32-bit view's key is not under Wow6432Node in system.reg"
expect_found 32-bit

wine reg delete "$key" /reg:32 /f >/dev/null
wine reg add "$key" /v Executable /t REG_SZ /d "$executable" /reg:64 /f >/dev/null
settle
expect_found 64-bit

wine reg add "$key" /v Executable /t REG_DWORD /d 7 /reg:64 /f >/dev/null
settle
probe
[ "$windows_out" = $'WrongType\nfolder ' ] || fail "wrong type, Windows build: $windows_out"
[ "$linux_out" = $'WrongType\nfolder ' ] || fail "wrong type, Linux build: $linux_out"
[ ! -e "$work/windows.ini" ] && [ ! -e "$work/linux.ini" ] ||
    fail "a refused value was written to the INI file"
echo "wrong type: both refused"
