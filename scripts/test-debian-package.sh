#!/usr/bin/env bash
# Makes the Debian package of the build folder BUILD_DIR and checks it as a user would get it:
# its name, its desktop entry and AppStream file, then (as root) installs it, runs the installed
# vexlor-cli, starts the installed editor on a demo under a virtual display as an ordinary user
# (nobody) and checks that the editor kept running and made its working folders in that user's
# data folder, not in /usr/lib/vexlor. The package is removed again whatever happens.
set -euo pipefail
[ $# -eq 1 ] || {
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
}
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/.." && pwd)

say() { echo "debian package: $*"; }
fail() {
    echo "FAILED (debian package): $*" >&2
    exit 1
}

scratch=$(mktemp -d "${TMPDIR:-/tmp}/vexlor-deb.XXXXXX")
# The ordinary user below reads the demo from here.
chmod 755 "$scratch"
installed=no
cleanup() {
    if declare -F stop >/dev/null; then
        stop  # the editor and the virtual display, by their process ids
    fi
    if [ "$installed" = yes ]; then
        dpkg -r vexlor >"$scratch/remove.log" 2>&1 || cat "$scratch/remove.log" >&2
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

version=$(sed -n 's/^project(Vexlor VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")
[ -n "$version" ] || fail "no project version in CMakeLists.txt"
deb="vexlor_${version}_$(dpkg --print-architecture).deb"

rm -f "$build"/vexlor_*.deb
(cd "$build" && cpack -G DEB) >"$scratch/cpack.log" 2>&1 || fail "cpack: $(cat "$scratch/cpack.log")"
made=$(cd "$build" && ls vexlor_*.deb 2>/dev/null || true)
[ "$made" = "$deb" ] || fail "cpack made '$made', not $deb"
say "made $deb"

root="$scratch/contents"
dpkg-deb -x "$build/$deb" "$root"
entry="$root/usr/share/applications/vexlor.desktop"
metainfo="$root/usr/share/metainfo/io.github.vexlor.Vexlor.metainfo.xml"
desktop-file-validate "$entry" || fail "desktop-file-validate $entry"
appstreamcli validate --no-net "$metainfo" >"$scratch/appstream.log" 2>&1 ||
    fail "appstreamcli validate: $(cat "$scratch/appstream.log")"
grep -qxF 'Exec="/usr/lib/vexlor/vexlor" %F' "$entry" || fail "Exec line: $(grep Exec "$entry")"
for file in usr/lib/vexlor/vexlor usr/lib/vexlor/vexlor-cli usr/lib/vexlor/Help.txt \
    usr/share/icons/hicolor/scalable/apps/vexlor.svg usr/share/doc/vexlor/copyright; do
    [ -f "$root/$file" ] || fail "no /$file in the package"
done
grep -qx 'License: GPL-3+' "$root/usr/share/doc/vexlor/copyright" || fail "copyright names no GPL-3+"
depends=$(dpkg-deb -f "$build/$deb" Depends)
for package in libqt6widgets6 qt6-image-formats-plugins; do
    [[ "$depends" == *"$package"* ]] || fail "Depends lacks $package: $depends"
done
say "contents, desktop entry and AppStream file ok"

if [ "$(id -u)" -ne 0 ]; then
    say "not root: installing the package is left out"
    exit 0
fi
if dpkg-query -W -f='${Status}' vexlor 2>/dev/null | grep -q 'installed'; then
    fail "a vexlor package is installed already; this test would remove it"
fi
id nobody >/dev/null 2>&1 && command -v setpriv >/dev/null || fail "needs the user nobody and setpriv"

installed=yes
dpkg -i "$build/$deb" >"$scratch/install.log" 2>&1 || fail "dpkg -i: $(cat "$scratch/install.log")"
/usr/bin/vexlor-cli --help >/dev/null || fail "/usr/bin/vexlor-cli --help"
demo="$scratch/demo"
printed=$(/usr/bin/vexlor-cli demo "$demo") || fail "/usr/bin/vexlor-cli demo"
[ "$printed" = "$demo/XWA/" ] || fail "demo printed '$printed'"

# An ordinary user with folders of its own: /usr/lib/vexlor is not writable for it.
user="$scratch/user"
mkdir -p "$user/data" "$user/state" "$user/tmp"
chown -R nobody:nogroup "$user"
as_user() {
    setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env HOME="$user" XDG_DATA_HOME="$user/data" XDG_STATE_HOME="$user/state" \
        TMPDIR="$user/tmp" WINEPREFIX="$user/wine" "$@"
}

exported=$(cd "$demo" && as_user /usr/bin/vexlor-cli export hull XWA/Resdata/HULL.DAT 0) ||
    fail "vexlor-cli export as nobody: $exported"
[[ "$exported" == "$user/data/vexlor/OutPut/"* ]] || fail "vexlor-cli exported to '$exported'"

# shellcheck source=virtual-display.sh
source "$source_dir/scripts/virtual-display.sh"
trap cleanup EXIT
(
    cd "$demo"
    VEXLOR_TEST_LOG=1 exec setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env HOME="$user" XDG_DATA_HOME="$user/data" XDG_STATE_HOME="$user/state" \
        TMPDIR="$user/tmp" WINEPREFIX="$user/wine" /usr/bin/vexlor
) 2>"$scratch/editor.log" &
app_pid=$!
for _ in $(seq 100); do
    grep -q '^listening$' "$scratch/editor.log" && break
    kill -0 "$app_pid" 2>/dev/null || fail "the editor ended: $(cat "$scratch/editor.log")"
    sleep 0.1
done
grep -q '^listening$' "$scratch/editor.log" || fail "the editor did not start: $(cat "$scratch/editor.log")"
sleep 3
kill -0 "$app_pid" 2>/dev/null || fail "the editor ended after starting: $(cat "$scratch/editor.log")"
timeout 5 xdotool search --onlyvisible --name 'Vexlor' >/dev/null || fail "no Vexlor window shows"
stop
say "the installed editor ran as nobody and showed its window"

for folder in OutPut Input; do
    [ -d "$user/data/vexlor/$folder" ] || fail "no $folder in \$XDG_DATA_HOME/vexlor"
done
leftover=$(cd /usr/lib/vexlor && ls -A | sort | tr '\n' ' ')
[ "$leftover" = "Help.txt vexlor vexlor-cli " ] || fail "/usr/lib/vexlor holds: $leftover"

installed=no
dpkg -r vexlor >"$scratch/remove.log" 2>&1 || fail "dpkg -r: $(cat "$scratch/remove.log")"
for path in /usr/bin/vexlor /usr/bin/vexlor-cli /usr/lib/vexlor /usr/share/applications/vexlor.desktop \
    /usr/share/metainfo/io.github.vexlor.Vexlor.metainfo.xml /usr/share/doc/vexlor \
    /usr/share/icons/hicolor/scalable/apps/vexlor.svg; do
    [ ! -e "$path" ] && [ ! -L "$path" ] || fail "$path is left after dpkg -r"
done
say "installed, ran and removed: ok"
