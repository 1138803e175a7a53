#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
set -euo pipefail

needed=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libbenchmark-dev
        qt6-base-dev qt6-image-formats-plugins libimagequant-dev libstb-dev libxxhash-dev pkg-config
        python3-pil xvfb xauth x11-utils dpkg-dev desktop-file-utils appstream file xdotool
        g++-mingw-w64-x86-64-posix mingw-w64 googletest wine wine64 fonts-wine nsis openbox imagemagick
        pngquant)
missing=()
for package in "${needed[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "These packages are missing and installing them needs root: ${missing[*]}" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
