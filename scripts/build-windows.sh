#!/usr/bin/env bash
# Cross-builds the format core, the platform layer, vexlor-cli.exe and their tests for 64-bit
# Windows with Debian's MinGW-w64, into build-windows/ (or the folder given). Qt is not built for
# Windows here, so picture files are read with stb_image; libimagequant is built from Debian's
# source package (fetched once into the build folder), GoogleTest from the sources of Debian's
# googletest package. Run the tests afterwards under Wine: scripts/test-windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}
jobs=$(nproc 2>/dev/null || echo 2)
deps="$build/_deps"
mkdir -p "$deps"

# libimagequant's sources, as Debian builds its package from them: a deb-src entry of our own,
# in a private apt state, so that the system's sources and lists are left alone.
imagequant=$(find "$deps" -maxdepth 2 -name libimagequant.c -printf '%h\n' 2>/dev/null | head -n 1)
if [ -z "$imagequant" ]; then
    . /etc/os-release
    apt_state="$deps/apt"
    mkdir -p "$apt_state/lists/partial"
    echo "deb-src http://deb.debian.org/debian ${VERSION_CODENAME:-bookworm} main" \
        >"$apt_state/sources.list"
    apt_options=(-o "Dir::Etc::SourceList=$(realpath "$apt_state/sources.list")"
                 -o Dir::Etc::SourceParts=/dev/null
                 -o "Dir::State::Lists=$(realpath "$apt_state/lists")"
                 -o APT::Sandbox::User=root)
    apt-get "${apt_options[@]}" update -qq
    (cd "$deps" && apt-get "${apt_options[@]}" source --download-only -qq libimagequant)
    tar -xzf "$deps"/libimagequant_*.orig.tar.gz -C "$deps"
    imagequant=$(find "$deps" -maxdepth 2 -name libimagequant.c -printf '%h\n' | head -n 1)
fi

# stb's headers, without the rest of the system's include folder.
mkdir -p "$deps/include"
ln -sfn /usr/include/stb "$deps/include/stb"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
    -DVEXLOR_WERROR=ON -DVEXLOR_GUI=OFF -DVEXLOR_BENCH=OFF -DVEXLOR_PICTURE_FILES_QT=OFF \
    -DVEXLOR_IMAGEQUANT_SOURCE="$(realpath "$imagequant")" \
    -DVEXLOR_STB_INCLUDE_DIR="$(realpath "$deps/include")" \
    -DVEXLOR_GTEST_SOURCE=/usr/src/googletest \
    ${VEXLOR_CMAKE_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$VEXLOR_CMAKE_LAUNCHER} \
    ${VEXLOR_CMAKE_LAUNCHER:+-DCMAKE_C_COMPILER_LAUNCHER=$VEXLOR_CMAKE_LAUNCHER}
cmake --build "$build" -j "$jobs"
