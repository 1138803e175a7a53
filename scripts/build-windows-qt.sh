#!/usr/bin/env bash
# Builds Qt 6 for 64-bit Windows, static, from Debian's qt6-base source (Debian's patches applied)
# with the MinGW-w64 toolchain, once per machine, into a cache folder outside the checkout:
# ${XDG_CACHE_HOME:-$HOME/.cache}/vexlor/ (or the folder given). Prints the installed prefix.
#
# Debian ships no Qt for MinGW. The moc, rcc and uic of the build come from this machine's own Qt
# (qt6-base-dev-tools), so the source fetched is the very version of those tools. Only what the
# editor links is built: Core, Gui, Widgets, Network, Test (which its window tests link), the
# windows and offscreen platform plugins and the Windows styles, with the bundled pcre2, zlib,
# libpng, harfbuzz and freetype.
#
# The prefix is named after the source version and the configure options, and appears only when
# its build and install are complete: a run that was stopped leaves a ".partial" folder that the
# next run redoes, so a half-built Qt is never taken for a finished one. A run that finds its
# prefix returns at once.
set -euo pipefail
cd "$(dirname "$0")/.."
cache=${1:-${XDG_CACHE_HOME:-$HOME/.cache}/vexlor}
jobs=$(nproc 2>/dev/null || echo 2)
toolchain="$PWD/cmake/mingw-w64-x86_64.cmake"

host_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev-tools 2>/dev/null) || {
    echo "The Qt tools of this machine are missing: install qt6-base-dev-tools" >&2
    exit 1
}
host_cmake_dir=/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake

# What the editor does not use is left out; wintab.h is not in Debian's source (its licence), so
# tablets go, and with OpenGL gone the windows plugin must not resolve OpenGL at run time either.
# Gui builds its DirectWrite 3 font database only together with Direct2D, which the windows
# plugin would still call for: the GDI font database serves instead.
options=(
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=OFF
    -DQT_QMAKE_TARGET_MKSPEC=win32-g++
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF
    -DFEATURE_directwrite3=OFF
    -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_tabletevent=OFF
    -DFEATURE_tuiotouch=OFF -DFEATURE_icu=OFF -DFEATURE_openssl=OFF -DFEATURE_jpeg=OFF
    -DFEATURE_zstd=OFF -DFEATURE_brotli=OFF -DFEATURE_glib=OFF
    -DFEATURE_system_pcre2=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF
)
key="qt6-base-$host_version-mingw64-static-$(printf '%s\n' "${options[@]}" |
                                               sha256sum | cut -c1-12)"
prefix="$cache/$key"
if [ -d "$prefix" ]; then
    echo "$prefix"
    exit 0
fi

work="$cache/$key.partial"
mkdir -p "$work"
work=$(realpath "$work")
echo "Building Qt $host_version for Windows in $work (about 35 minutes on 2 cores)" >&2

# A fetch that was stopped may have left its sources half patched: fetched anew.
deps="$work/sources"
# shellcheck source=scripts/debian-sources.sh
source scripts/debian-sources.sh
if [ ! -e "$work/sources.done" ]; then
    rm -rf "$deps"
    mkdir -p "$deps"
    source=$(fetch_source "qt6-base=$host_version" src/widgets/kernel/qapplication.cpp)
    if [ -z "$source" ] || [ ! -d "$source" ]; then
        echo "The source of qt6-base $host_version, the version of this machine's Qt tools," \
             "could not be fetched" >&2
        exit 1
    fi
    touch "$work/sources.done"
fi
widgets=$(find "$deps" -mindepth 3 -maxdepth 3 -path '*/src/widgets' | head -n 1)
source=$(realpath "$widgets/../..")

# The install is redone whole, so that nothing of a stopped one stays in it.
rm -rf "$work/install"
log="$work/build.log"
# A configure that did not finish is begun again; a build that was stopped goes on where it was,
# as ninja redoes whatever it had not finished.
[ -e "$work/configured" ] || rm -rf "$work/build"
cmake -S "$source" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_cmake_dir" \
    -DCMAKE_INSTALL_PREFIX="$work/install" "${options[@]}" \
    ${VEXLOR_CMAKE_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$VEXLOR_CMAKE_LAUNCHER} \
    ${VEXLOR_CMAKE_LAUNCHER:+-DCMAKE_C_COMPILER_LAUNCHER=$VEXLOR_CMAKE_LAUNCHER} >"$log" 2>&1 ||
    { echo "Configuring Qt failed: see $log" >&2; exit 1; }
touch "$work/configured"
cmake --build "$work/build" -j "$jobs" >>"$log" 2>&1 ||
    { echo "Building Qt failed: see $log" >&2; exit 1; }
cmake --install "$work/build" >>"$log" 2>&1 ||
    { echo "Installing Qt failed: see $log" >&2; exit 1; }

mv "$work/install" "$prefix"
cp "$log" "$prefix/build.log"
rm -rf "$work"
echo "$prefix"
