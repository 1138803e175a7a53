#!/usr/bin/env bash
# Cross-builds Vexlor for 64-bit Windows with Debian's MinGW-w64, into build-windows/ (or the
# folder given): vexlor.exe, the editor, linked statically against a Qt for Windows that
# scripts/build-windows-qt.sh builds once per machine; vexlor-cli.exe; the tests of both; and
# the downloads, build-windows/vexlor-VERSION-windows-x64.zip and the installer
# build-windows/vexlor-VERSION-setup-x64.exe. Picture files are read with stb_image, libtiff and
# libwebp in place of Qt's image plugins; these, zlib and libimagequant are built from Debian's
# source packages (fetched once into the build folder), GoogleTest from the sources of Debian's
# googletest package. VEXLOR_WINDOWS_GUI=0 leaves the editor out (and with it Qt and the
# downloads). Run the tests afterwards under Wine: scripts/test-windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}
jobs=$(nproc 2>/dev/null || echo 2)
deps="$build/_deps"
mkdir -p "$deps"

# shellcheck source=scripts/debian-sources.sh
source scripts/debian-sources.sh

toolchain="$PWD/cmake/mingw-w64-x86_64.cmake"
prefix="$(realpath "$deps")/prefix"

# A C library of Debian's sources built with CMake into the prefix, static, without its tools.
build_dependency() {  # name, source folder, options...
    local name=$1 source=$2
    shift 2
    [ -e "$deps/$name.built" ] && return
    cmake -S "$source" -B "$deps/$name-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DBUILD_SHARED_LIBS=OFF "$@" >"$deps/$name.log"
    cmake --build "$deps/$name-build" -j "$jobs" --target install >>"$deps/$name.log"
    touch "$deps/$name.built"
}

imagequant=$(fetch_source libimagequant libimagequant.c)
# TIFF and WebP, which stb_image does not read: the decoders Qt's plugins use on Linux.
build_dependency webp "$(fetch_source libwebp src/webp/decode.h)" -DWEBP_BUILD_ANIM_UTILS=OFF \
    -DWEBP_BUILD_CWEBP=OFF -DWEBP_BUILD_DWEBP=OFF -DWEBP_BUILD_GIF2WEBP=OFF \
    -DWEBP_BUILD_IMG2WEBP=OFF -DWEBP_BUILD_VWEBP=OFF -DWEBP_BUILD_WEBPINFO=OFF \
    -DWEBP_BUILD_LIBWEBPMUX=OFF -DWEBP_BUILD_WEBPMUX=OFF -DWEBP_BUILD_EXTRAS=OFF
# zlib for the Deflate compression of TIFF: only its static library, as Debian's sources lack the
# resource file of its DLL.
zlib=$(fetch_source zlib zlib.h)
if [ ! -e "$deps/zlib.built" ]; then
    cmake -S "$zlib" -B "$deps/zlib-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" >"$deps/zlib.log"
    cmake --build "$deps/zlib-build" -j "$jobs" --target zlibstatic >>"$deps/zlib.log"
    mkdir -p "$prefix/lib" "$prefix/include"
    cp "$deps/zlib-build/libzlibstatic.a" "$prefix/lib/"
    cp "$zlib/zlib.h" "$deps/zlib-build/zconf.h" "$prefix/include/"
    touch "$deps/zlib.built"
fi
build_dependency tiff "$(fetch_source tiff libtiff/tiffio.h)" -Dtiff-tools=OFF \
    -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF -Dcxx=OFF -Dzlib=ON -Dlibdeflate=OFF \
    -DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libzlibstatic.a" \
    -Djpeg=OFF -Dold-jpeg=OFF -Djbig=OFF -Dlerc=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF \
    -Dpixarlog=OFF

# stb's and xxhash's headers, without the rest of the system's include folder.
mkdir -p "$deps/include"
ln -sfn /usr/include/stb "$deps/include/stb"
ln -sfn /usr/include/xxhash.h "$deps/include/xxhash.h"

common=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DVEXLOR_WERROR=ON -DVEXLOR_BENCH=OFF
        -DVEXLOR_PICTURE_FILES_QT=OFF
        -DVEXLOR_IMAGEQUANT_SOURCE="$imagequant" -DVEXLOR_PICTURE_DEPENDENCIES="$prefix"
        -DVEXLOR_STB_INCLUDE_DIR="$(realpath "$deps/include")"
        -DVEXLOR_XXHASH_INCLUDE_DIR="$(realpath "$deps/include")"
        ${VEXLOR_CMAKE_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$VEXLOR_CMAKE_LAUNCHER}
        ${VEXLOR_CMAKE_LAUNCHER:+-DCMAKE_C_COMPILER_LAUNCHER=$VEXLOR_CMAKE_LAUNCHER})
gui=(-DVEXLOR_GUI=OFF)
if [ "${VEXLOR_WINDOWS_GUI:-1}" = 1 ]; then
    qt=$(scripts/build-windows-qt.sh)
    gui=(-DVEXLOR_GUI=ON -DQT_HOST_PATH=/usr
         -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake"
         -DVEXLOR_WINDOWS_QT="$qt" -DCMAKE_PREFIX_PATH="$qt")
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${common[@]}" "${gui[@]}" \
    -DVEXLOR_GTEST_SOURCE=/usr/src/googletest
cmake --build "$build" -j "$jobs"

# The downloads, with the programs stripped of their debugging information.
if [ "${VEXLOR_WINDOWS_GUI:-1}" = 1 ]; then
    (cd "$build" && cpack -G ZIP >cpack-zip.log && cpack -G NSIS >cpack-nsis.log) ||
        { echo "Making the Windows downloads failed: see $build/cpack-*.log" >&2; exit 1; }
    ls "$build"/vexlor-*-windows-x64.zip "$build"/vexlor-*-setup-x64.exe
fi
