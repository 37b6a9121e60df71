#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    libgtest-dev googletest
    # CRC-32 of the check files: libdeflate, and zlib built for MinGW-w64 for the Windows build.
    libdeflate-dev libz-mingw-w64-dev
    qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
    fonts-wqy-microhei fonts-dejavu-extra
    xvfb xauth x11-utils xdotool imagemagick libx11-dev python3-xlib
    clang libclang-rt-14-dev valgrind
    g++-mingw-w64-x86-64-posix wine wine64 fonts-wine xclip
    # The Windows installer (cpack's NSIS generator) and the check of its zip.
    nsis unzip
    desktop-file-utils appstream dpkg-dev file
    # Qt for Windows from Debian's source (scripts/qt-windows.sh): apt-get source and its unpacking.
    xz-utils perl
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
